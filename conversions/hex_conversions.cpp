#include <cstdint>

#include "conversions/conversions.h"
#include "runtime/fallback_on_error.h"
#include "conversions/positional_reader.h"
#include "conversions/power_of_two_writer.h"
#include "runtime/checked_int.h"

namespace numoria::conversions {

namespace {

constexpr int kBitsPerHexDigit = 4;

// Offset that takes the code of "A" (65) to the digit value 10.
constexpr std::int16_t kLetterOffset = 55;

// The digit value as an unsigned 8-bit value: overflow (6) outside 0 to 255.
std::uint8_t hexDigitValue(char16_t unit, const AnsiCodePage& codePage) {
    if (unit >= u'0' && unit <= u'9') return static_cast<std::uint8_t>(unit - u'0');
    const std::int16_t shifted = subChecked(codePage.characterCode(unit), kLetterOffset);
    return narrowChecked<std::uint8_t>(shifted);
}

} // namespace

std::u16string DecimalToHex(std::int32_t pValue) {
    return writePowerOfTwoNumeral(static_cast<std::uint32_t>(pValue), kBitsPerHexDigit);
}

std::int32_t HexToDecimal(std::u16string_view pValue, const AnsiCodePage& codePage) {
    return valueOrFallback(std::int32_t{0}, [&] {
        return readPositionalNumeral(pValue, kBitsPerHexDigit,
                                     [&](char16_t unit) { return static_cast<double>(hexDigitValue(unit, codePage)); });
    });
}

std::int32_t HexToDecimal(std::u16string_view pValue) { return HexToDecimal(pValue, asciiCodePage()); }

} // namespace numoria::conversions
