#include "conversions/ansi_code_page.h"

namespace numoria::conversions {

namespace {
constexpr char16_t kFirstNonAscii = 128;
constexpr std::int16_t kSubstitutionCode = u'?';
} // namespace

std::int16_t AsciiCodePage::characterCode(char16_t unit) const {
    return unit < kFirstNonAscii ? static_cast<std::int16_t>(unit) : kSubstitutionCode;
}

const AnsiCodePage& asciiCodePage() {
    static const AsciiCodePage instance;
    return instance;
}

} // namespace numoria::conversions
