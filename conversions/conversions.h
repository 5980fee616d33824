// Whole numbers between their 32-bit value and binary, hexadecimal and octal
// numerals in UTF-16 text. The readers and DecimalToBinary never raise an
// error: whatever fails inside them makes them return 0 (or "0").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "conversions/ansi_code_page.h"

namespace numoria::conversions {

// Binary numeral without leading zeros: "" for 0 and -1, "0" for -2 and below.
std::u16string DecimalToBinary(std::int32_t pValue);

// Each "1" adds its place value, every other character counts as a zero digit;
// 0 when the value or a place value leaves the 32-bit range.
std::int32_t BinaryToDecimal(std::u16string_view pValue);

// Upper-case hexadecimal; a negative value as its 32-bit two's complement.
std::u16string DecimalToHex(std::int32_t pValue);

// Digits 0 to 9 by value, every other character by its code in `codePage`
// minus 55 (so "A" to "F" are 10 to 15, and nothing limits a digit to 15);
// 0 on any overflow. The overload without a code page uses the ASCII mapping.
std::int32_t HexToDecimal(std::u16string_view pValue, const AnsiCodePage& codePage);
std::int32_t HexToDecimal(std::u16string_view pValue);

// Octal; a negative value as its 32-bit two's complement.
std::u16string DecimalToOctal(std::int32_t pValue);

// Decimal digits 0 to 9, each weighted by a power of 8 (8 and 9 included);
// 0 for any other character and on any overflow.
std::int32_t OctalToDecimal(std::u16string_view pValue);

} // namespace numoria::conversions
