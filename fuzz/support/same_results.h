// Comparisons of results: bit for bit, except that any NaN matches any NaN
// (which NaN payload survives an operation on two NaNs depends on the operand
// order inside one instruction, which the fast kernels may swap).
#pragma once

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "matrix/matrix.h"
#include "support/outcome.h"

namespace numoria::fuzz {

inline bool sameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

inline bool sameValue(const matrix::Matrix& a, const matrix::Matrix& b) {
    const matrix::ElementArray& x = a.Element;
    const matrix::ElementArray& y = b.Element;
    if (a.m != b.m || a.n != b.n || x.present() != y.present() || x.rows() != y.rows() || x.columns() != y.columns()) {
        return false;
    }
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (!sameValue(x.data()[k], y.data()[k])) return false;
    }
    return true;
}

// The same error, or the same value.
template <typename T>
void requireSameOutcome(const Outcome<T>& expected, const Outcome<T>& actual, const char* invariant) {
    const bool same = expected.error ? actual.error == expected.error
                                     : actual.value.has_value() && sameValue(*expected.value, *actual.value);
    require(same, invariant);
}

} // namespace numoria::fuzz
