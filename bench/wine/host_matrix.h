// A Matrix record the host owns: its Element array (bounds 1 To m, 1 To n)
// is destroyed with it. Also serves as the slot of a record result, which
// the callee fills and the host then owns.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "numori10.h"

namespace numoria_bench {

class HostMatrix {
public:
    // An empty slot for a result (m = n = 0, no array).
    HostMatrix() = default;
    // An m x n record of small integers in a fixed pattern (large on the
    // diagonal): every product and sum of them is exact in any order.
    HostMatrix(short rows, short columns);
    // The product a x b, computed here element by element.
    static HostMatrix product(const Matrix& a, const Matrix& b);
    HostMatrix(HostMatrix&& other) noexcept : record_(other.record_) { other.record_ = Matrix{}; }
    HostMatrix& operator=(HostMatrix&& other) noexcept {
        if (this != &other) {
            clear();
            record_ = other.record_;
            other.record_ = Matrix{};
        }
        return *this;
    }
    HostMatrix(const HostMatrix&) = delete;
    HostMatrix& operator=(const HostMatrix&) = delete;
    ~HostMatrix() { clear(); }

    Matrix* get() { return &record_; }
    const Matrix* get() const { return &record_; }
    // The slot emptied for the next result.
    Matrix* out() {
        clear();
        return &record_;
    }
    void clear();

    // Bytes of the element array of an m x n record.
    static SIZE_T elementBytes(short rows, short columns) {
        return static_cast<SIZE_T>(rows) * static_cast<SIZE_T>(columns) * sizeof(double);
    }

private:
    template <class ElementOf>
    HostMatrix(short rows, short columns, ElementOf elementOf);

    Matrix record_{};
};

// Element (row, column), both from 1, of a record whose array has the
// bounds (1 To m, 1 To n).
double elementAt(const Matrix& record, short row, short column);

// Same counts, same array bounds and equal elements.
bool sameMatrix(const Matrix& a, const Matrix& b);

} // namespace numoria_bench
