#include <cstdint>
#include <limits>

#include "conversions/conversions.h"
#include "runtime/fallback_on_error.h"
#include "conversions/units_from_right.h"
#include "runtime/checked_int.h"

namespace numoria::conversions {

std::u16string DecimalToBinary(std::int32_t pValue) {
    return valueOrFallback(std::u16string(u"0"), [&] {
        std::int32_t remainder = pValue;
        // Overflow guard: the difference leaves the 32-bit range for -2 and
        // below, whose numeral is then "0". It writes nothing; 2147483647
        // gets its thirty-one "1" from the place values below.
        subChecked(remainder, std::numeric_limits<std::int32_t>::max());

        std::u16string text;
        for (std::int32_t place = std::int32_t{1} << 30; place >= 1; place /= 2) {
            const std::int32_t rest = subChecked(remainder, place);
            if (rest >= 0) {
                text += u'1';
                remainder = rest;
            } else if (!text.empty()) {
                // The text starts with "1" once it holds anything, so a
                // non-empty text is the only one that takes a zero digit.
                text += u'0';
            }
        }
        return text;
    });
}

std::int32_t BinaryToDecimal(std::u16string_view pValue) {
    return valueOrFallback(std::int32_t{0}, [&] {
        std::int32_t total = 0;
        std::int32_t place = 1;
        forEachUnitFromRight(pValue, [&](char16_t unit, std::int32_t position) {
            // The place value doubles on each move to the left, and only then:
            // thirty-one characters fit, a thirty-second overflows.
            if (position > 0) place = addChecked(place, place);
            if (unit == u'1') total = addChecked(total, place);
        });
        return total;
    });
}

} // namespace numoria::conversions
