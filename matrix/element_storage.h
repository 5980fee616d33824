// Where element arrays get the block that holds their elements. A storage
// provider allocates each block; the provider in effect on the calling
// thread decides which kind, and by default blocks come from the heap. A
// host boundary can put a provider of its own in effect while it runs an
// operation, so that the operation's result is allocated once, directly in
// the form the host receives, instead of being built here and copied.
#pragma once

#include <memory>

#include "matrix/dimension.h"

namespace numoria::matrix {

// One block of doubles. The provider's own subclass frees it.
class ElementStorage {
public:
    explicit ElementStorage(double* elements) noexcept : elements_(elements) {}
    ElementStorage(const ElementStorage&) = delete;
    ElementStorage& operator=(const ElementStorage&) = delete;
    virtual ~ElementStorage() = default;

    double* elements() const noexcept { return elements_; }

private:
    double* elements_;
};

class StorageProvider {
public:
    virtual ~StorageProvider() = default;

    // A block for an array with these dimensions (rows.count * columns.count
    // elements, at least one and at most 2^28), every element 0.0; null when
    // memory cannot be had.
    virtual std::unique_ptr<ElementStorage> allocate(Dimension rows, Dimension columns) noexcept = 0;
};

// Blocks from the heap.
StorageProvider& heapStorage() noexcept;

// The provider in effect on this thread.
StorageProvider& currentStorageProvider() noexcept;

// Puts a provider in effect on this thread for the object's lifetime, then
// restores the one that was in effect before.
class ScopedStorageProvider {
public:
    explicit ScopedStorageProvider(StorageProvider& provider) noexcept;
    ScopedStorageProvider(const ScopedStorageProvider&) = delete;
    ScopedStorageProvider& operator=(const ScopedStorageProvider&) = delete;
    ~ScopedStorageProvider();

private:
    StorageProvider* previous_;
};

} // namespace numoria::matrix
