// The walk every numeral reader makes: the characters of the text one at a
// time, from the last to the first, with a 16-bit signed index running from
// the text's length down to 1.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/checked_int.h"

namespace numoria::conversions {

// Calls visit(unit, position) for each unit of `text`, the last unit first.
// The position is the unit's distance from the end: 0 for the last unit.
// A text longer than 32767 units does not fit the 16-bit index and fails
// with overflow (6) before any unit is visited.
template <typename Visit>
void forEachUnitFromRight(std::u16string_view text, Visit visit) {
    const auto length = narrowChecked<std::int16_t>(static_cast<std::int64_t>(text.size()));
    for (std::int16_t index = length; index >= 1; index = subChecked<std::int16_t>(index, 1)) {
        const std::int32_t position = subChecked<std::int32_t>(length, index);
        visit(text[static_cast<std::size_t>(index - 1)], position);
    }
}

} // namespace numoria::conversions
