// A two-dimensional array of doubles that keeps a lower bound and an element
// count for each dimension, may be absent, copies deeply and checks every
// access against its own bounds (subscript out of range, 9, outside them or
// when absent). Elements are stored contiguously in automation array order:
// the first subscript varies fastest, so a host's array maps onto it as it is.
//
// An array normally owns its elements, in a block from the storage provider
// in effect when it was allocated (element_storage.h). It can instead read
// elements that someone else owns (borrowing): they are never written, a
// copy of such an array owns a copy of them, and the first write through
// the array itself takes a private copy first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "matrix/dimension.h"
#include "matrix/element_storage.h"

namespace numoria::matrix {

class ElementArray {
public:
    // An absent array: never allocated.
    ElementArray() = default;

    ElementArray(const ElementArray& other);
    ElementArray(ElementArray&& other) noexcept;
    ElementArray& operator=(const ElementArray& other);
    ElementArray& operator=(ElementArray&& other) noexcept;
    ~ElementArray() = default;

    // Allocates (lower1 To upper1, lower2 To upper2), every element 0.0.
    // An upper bound below its lower bound raises subscript out of range (9),
    // an allocation memory cannot satisfy raises out of memory (7).
    static ElementArray withBounds(std::int32_t lower1, std::int32_t upper1, std::int32_t lower2, std::int32_t upper2);

    // Allocates an array with the given dimensions (counts may be 0), every
    // element 0.0; raises out of memory (7) when it cannot be had.
    static ElementArray withDimensions(Dimension rows, Dimension columns);

    // An array over `elements` (rows.count * columns.count of them, in
    // storage order), which the caller keeps alive and unchanged for as long
    // as this array refers to them. The same size limit as an allocation
    // applies (out of memory, 7).
    static ElementArray borrowing(const double* elements, Dimension rows, Dimension columns);

    bool present() const noexcept { return present_; }
    Dimension rows() const noexcept { return rows_; }
    Dimension columns() const noexcept { return columns_; }
    // Whether the elements are someone else's.
    bool borrowed() const noexcept { return size_ != 0 && storage_ == nullptr; }

    // Checked element access: subscript out of range (9) outside the bounds
    // or when the array is absent.
    double get(std::int32_t row, std::int32_t column) const { return elements_[offsetOf(row, column)]; }
    void set(std::int32_t row, std::int32_t column, double value) {
        const std::size_t offset = offsetOf(row, column);
        writable()[offset] = value;
    }

    // The elements in storage order (first subscript fastest); null when
    // absent or empty. The writable form makes a borrowed array its own first.
    const double* data() const noexcept { return elements_; }
    double* data() { return writable(); }
    std::size_t size() const noexcept { return size_; }

    // The block that holds the elements (null when absent, empty or
    // borrowed), and handing it over, which leaves the array absent.
    const ElementStorage* storage() const noexcept { return storage_.get(); }
    std::unique_ptr<ElementStorage> releaseStorage() noexcept;

    // Identical presence, bounds and element bits (so a NaN equals itself and
    // -0.0 differs from 0.0): "unchanged" in the strictest sense.
    friend bool operator==(const ElementArray& a, const ElementArray& b);

private:
    std::size_t offsetOf(std::int32_t row, std::int32_t column) const;
    double* writable() {
        if (borrowed()) *this = ElementArray(*this);
        return storage_ ? storage_->elements() : nullptr;
    }

    bool present_ = false;
    Dimension rows_;
    Dimension columns_;
    std::size_t size_ = 0;
    const double* elements_ = nullptr;
    std::unique_ptr<ElementStorage> storage_; // owns elements_ unless borrowed
};

} // namespace numoria::matrix
