// Integer arithmetic with the runtime's overflow rule: a result outside the
// type's range raises overflow (6) instead of wrapping.
#pragma once

#include <cstdint>
#include <limits>
#include <utility>
#include <type_traits>

#include "runtime/runtime_error.h"

namespace numoria {

// Narrows a wider integer to T, raising overflow (6) when it does not fit.
template <typename T, typename Wide>
T narrowChecked(Wide value) {
    static_assert(std::is_integral_v<T> && std::is_integral_v<Wide>);
    if (!std::in_range<T>(value)) {
        raiseRuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<T>(value);
}

template <typename T>
T addChecked(T a, T b) {
    static_assert(sizeof(T) <= 4);
    return narrowChecked<T>(static_cast<std::int64_t>(a) + static_cast<std::int64_t>(b));
}

template <typename T>
T subChecked(T a, T b) {
    static_assert(sizeof(T) <= 4);
    return narrowChecked<T>(static_cast<std::int64_t>(a) - static_cast<std::int64_t>(b));
}

// The 16-bit step of a counting loop. Loops are written
//     for (int16_t i = 1; i <= last; i = next16(i))
// so that every step, the one after the last pass included, is tested:
// a loop that runs up to 32767 fails with overflow when it steps past it.
inline std::int16_t next16(std::int16_t counter) { return addChecked<std::int16_t>(counter, 1); }

} // namespace numoria
