#include "conversions/power_of_two_writer.h"

#include <algorithm>

namespace numoria::conversions {

std::u16string writePowerOfTwoNumeral(std::uint32_t value, int bitsPerDigit) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    const std::uint32_t mask = (1u << bitsPerDigit) - 1u;
    std::u16string text;
    do {
        text += kDigits[value & mask];
        value >>= bitsPerDigit;
    } while (value != 0);
    std::reverse(text.begin(), text.end());
    return text;
}

} // namespace numoria::conversions
