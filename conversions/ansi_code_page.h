// The character code of a UTF-16 unit in the system's ANSI code page, as the
// hexadecimal reader needs it for characters other than the digits 0 to 9.
// The code page is pluggable: the Windows layer supplies the system's own,
// while the core carries an ASCII-only mapping.
#pragma once

#include <cstdint>

namespace numoria::conversions {

class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;

    // The unit's code, 16-bit signed: a double-byte code page can give codes
    // outside 0 to 255, including negative ones. May raise a runtime error.
    virtual std::int16_t characterCode(char16_t unit) const = 0;
};

// The core's own mapping: units below 128 are their ASCII code; every other
// unit is 63 ('?'), the character a code-page conversion substitutes for one
// it cannot map.
class AsciiCodePage final : public AnsiCodePage {
public:
    std::int16_t characterCode(char16_t unit) const override;
};

// A shared instance of the ASCII mapping.
const AnsiCodePage& asciiCodePage();

} // namespace numoria::conversions
