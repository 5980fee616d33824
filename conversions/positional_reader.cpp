#include "conversions/positional_reader.h"

#include <cmath>
#include <limits>

#include "runtime/runtime_error.h"

namespace numoria::conversions {

double powerOfTwoPlace(int bitsPerDigit, std::int32_t position) {
    // Positions stay below 32767 (the 16-bit index), so the exponent fits an
    // int. ldexp is exact where a general power function may not be.
    const int exponent = bitsPerDigit * static_cast<int>(position);
    const double place = fp::checked([&] { return std::ldexp(1.0, exponent); });
    // Not every ldexp raises the overflow flag when it leaves the range.
    if (!std::isfinite(place)) raiseRuntimeError(ErrorNumber::Overflow);
    return place;
}

std::int32_t roundToInt32Checked(double value) {
    // nearbyint rounds to nearest (ties to even) and leaves the flags alone.
    const double rounded = std::nearbyint(value);
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (!(rounded >= kMin && rounded <= kMax)) raiseRuntimeError(ErrorNumber::Overflow);
    return static_cast<std::int32_t>(rounded);
}

} // namespace numoria::conversions
