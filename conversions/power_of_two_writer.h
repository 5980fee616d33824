// Writes a 32-bit value as a hexadecimal or octal numeral.
#pragma once

#include <cstdint>
#include <string>

namespace numoria::conversions {

// `value` in base 2^bitsPerDigit (3 or 4): upper-case digits, no prefix, no
// leading zeros, "0" for zero. Callers pass a negative number as its 32-bit
// two's complement, which gives 8 hexadecimal or 11 octal digits.
std::u16string writePowerOfTwoNumeral(std::uint32_t value, int bitsPerDigit);

} // namespace numoria::conversions
