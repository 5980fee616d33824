// The reader shared by the hexadecimal and octal numerals: each digit
// weighted by a power of the base, summed in double precision and brought
// back to a 32-bit total after every digit.
#pragma once

#include <cstdint>
#include <string_view>

#include "conversions/units_from_right.h"
#include "runtime/fp_status.h"

namespace numoria::conversions {

// base^position for a base of 2^bitsPerDigit, exact; a power beyond the
// double range fails with overflow (6).
double powerOfTwoPlace(int bitsPerDigit, std::int32_t position);

// `value` rounded to the nearest 32-bit signed integer; overflow (6) when the
// rounded value does not fit (or `value` is not a number).
std::int32_t roundToInt32Checked(double value);

// Reads `text` in base 2^bitsPerDigit. digitValue(unit) gives each unit's
// digit, or raises the unit's error; it is not limited to the base's digits.
template <typename DigitValue>
std::int32_t readPositionalNumeral(std::u16string_view text, int bitsPerDigit, DigitValue digitValue) {
    std::int32_t total = 0;
    forEachUnitFromRight(text, [&](char16_t unit, std::int32_t position) {
        const double digit = digitValue(unit);
        const double place = powerOfTwoPlace(bitsPerDigit, position);
        const double sum = fp::checked([&] { return static_cast<double>(total) + digit * place; });
        total = roundToInt32Checked(sum);
    });
    return total;
}

} // namespace numoria::conversions
