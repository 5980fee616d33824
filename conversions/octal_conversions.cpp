#include <cstdint>

#include "conversions/conversions.h"
#include "runtime/fallback_on_error.h"
#include "conversions/positional_reader.h"
#include "conversions/power_of_two_writer.h"
#include "runtime/runtime_error.h"

namespace numoria::conversions {

namespace {

constexpr int kBitsPerOctalDigit = 3;

// The unit read as a decimal number: a digit 0 to 9 (8 and 9 are accepted),
// anything else a type mismatch (13).
std::int16_t decimalDigitValue(char16_t unit) {
    if (unit < u'0' || unit > u'9') raiseRuntimeError(ErrorNumber::TypeMismatch);
    return static_cast<std::int16_t>(unit - u'0');
}

} // namespace

std::u16string DecimalToOctal(std::int32_t pValue) {
    return writePowerOfTwoNumeral(static_cast<std::uint32_t>(pValue), kBitsPerOctalDigit);
}

std::int32_t OctalToDecimal(std::u16string_view pValue) {
    return valueOrFallback(std::int32_t{0}, [&] {
        return readPositionalNumeral(pValue, kBitsPerOctalDigit,
                                     [](char16_t unit) { return static_cast<double>(decimalDigitValue(unit)); });
    });
}

} // namespace numoria::conversions
