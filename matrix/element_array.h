// A two-dimensional array of doubles that keeps a lower bound and an element
// count for each dimension, may be absent, copies deeply and checks every
// access against its own bounds (subscript out of range, 9, outside them or
// when absent). Elements are stored contiguously in automation array order:
// the first subscript varies fastest, so a host's array maps onto it with a
// single copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace numoria::matrix {

struct Dimension {
    std::int32_t lowerBound = 0;
    std::uint32_t count = 0;

    // The last valid subscript, as a 64-bit value so that count 0 is below lowerBound.
    std::int64_t upperBound() const noexcept {
        return static_cast<std::int64_t>(lowerBound) + static_cast<std::int64_t>(count) - 1;
    }
    bool contains(std::int64_t subscript) const noexcept {
        return subscript >= lowerBound && subscript <= upperBound();
    }

    friend bool operator==(const Dimension&, const Dimension&) = default;
};

class ElementArray {
public:
    // An absent array: never allocated.
    ElementArray() = default;

    // Allocates (lower1 To upper1, lower2 To upper2), every element 0.0.
    // An upper bound below its lower bound raises subscript out of range (9),
    // an allocation memory cannot satisfy raises out of memory (7).
    static ElementArray withBounds(std::int32_t lower1, std::int32_t upper1,
                                   std::int32_t lower2, std::int32_t upper2);

    // Allocates an array with the given dimensions (counts may be 0), every
    // element 0.0; raises out of memory (7) when it cannot be had.
    static ElementArray withDimensions(Dimension rows, Dimension columns);

    bool present() const noexcept { return present_; }
    Dimension rows() const noexcept { return rows_; }
    Dimension columns() const noexcept { return columns_; }

    // Checked element access: subscript out of range (9) outside the bounds
    // or when the array is absent.
    double get(std::int32_t row, std::int32_t column) const { return data_[offsetOf(row, column)]; }
    void set(std::int32_t row, std::int32_t column, double value) { data_[offsetOf(row, column)] = value; }

    // The elements in storage order (first subscript fastest); empty when absent.
    const double* data() const noexcept { return data_.data(); }
    double* data() noexcept { return data_.data(); }
    std::size_t size() const noexcept { return data_.size(); }

    // Identical presence, bounds and element bits (so a NaN equals itself and
    // -0.0 differs from 0.0): "unchanged" in the strictest sense.
    friend bool operator==(const ElementArray& a, const ElementArray& b);

private:
    std::size_t offsetOf(std::int32_t row, std::int32_t column) const;

    bool present_ = false;
    Dimension rows_;
    Dimension columns_;
    std::vector<double> data_;
};

} // namespace numoria::matrix
