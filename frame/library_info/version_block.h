// The version resource of this file: its texts and its version numbers, read
// from the resource itself so that they always match what the file carries.
#pragma once

#include <cstdint>
#include <string>

namespace numoria::frame {

// The text under `key` ("Comments", "ProductName", ...) in the block's first
// translation; empty when the key is absent.
std::u16string versionText(const wchar_t* key);

struct FileVersionNumbers {
    std::int16_t major;
    std::int16_t minor;
    std::int16_t revision;
};

// Major and minor from the file version's first two parts, revision from its
// last (1.0.0.90 gives 1, 0, 90).
FileVersionNumbers fileVersionNumbers();

} // namespace numoria::frame
