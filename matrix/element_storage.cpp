#include "matrix/element_storage.h"

#include <cstdlib>
#include <new>

namespace numoria::matrix {

namespace {

// Zeroed with the allocation itself: large blocks come straight from the
// system as untouched zero pages.
class HeapStorage final : public ElementStorage {
public:
    explicit HeapStorage(double* elements) noexcept : ElementStorage(elements) {}
    ~HeapStorage() override { std::free(elements()); }
};

class HeapProvider final : public StorageProvider {
public:
    std::unique_ptr<ElementStorage> allocate(Dimension rows, Dimension columns) noexcept override {
        const std::size_t count = static_cast<std::size_t>(rows.count) * columns.count;
        auto* elements = static_cast<double*>(std::calloc(count, sizeof(double)));
        if (elements == nullptr) return nullptr;
        std::unique_ptr<ElementStorage> storage(new (std::nothrow) HeapStorage(elements));
        if (storage == nullptr) std::free(elements);
        return storage;
    }
};

HeapProvider g_heap;
thread_local StorageProvider* t_current = nullptr;

} // namespace

StorageProvider& heapStorage() noexcept { return g_heap; }

StorageProvider& currentStorageProvider() noexcept { return t_current != nullptr ? *t_current : g_heap; }

ScopedStorageProvider::ScopedStorageProvider(StorageProvider& provider) noexcept : previous_(t_current) {
    t_current = &provider;
}

ScopedStorageProvider::~ScopedStorageProvider() { t_current = previous_; }

} // namespace numoria::matrix
