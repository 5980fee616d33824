#include "frame/classes/system_code_page.h"

#include <windows.h>

namespace numoria::frame {

namespace {

class SystemAnsiCodePage final : public conversions::AnsiCodePage {
public:
    std::int16_t characterCode(char16_t unit) const override {
        const wchar_t wide = static_cast<wchar_t>(unit);
        unsigned char bytes[2] = {};
        const int length =
            WideCharToMultiByte(CP_ACP, 0, &wide, 1, reinterpret_cast<char*>(bytes), 2, nullptr, nullptr);
        if (length == 2) return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]));
        if (length == 1) return bytes[0];
        return '?';
    }
};

} // namespace

const conversions::AnsiCodePage& systemAnsiCodePage() {
    static const SystemAnsiCodePage codePage;
    return codePage;
}

} // namespace numoria::frame
