// One dimension of an element array: its lower bound and element count.
#pragma once

#include <cstdint>

namespace numoria::matrix {

struct Dimension {
    std::int32_t lowerBound = 0;
    std::uint32_t count = 0;

    // The last valid subscript, as a 64-bit value so that count 0 is below lowerBound.
    std::int64_t upperBound() const noexcept {
        return static_cast<std::int64_t>(lowerBound) + static_cast<std::int64_t>(count) - 1;
    }
    bool contains(std::int64_t subscript) const noexcept {
        return subscript >= lowerBound && subscript <= upperBound();
    }

    friend bool operator==(const Dimension&, const Dimension&) = default;
};

} // namespace numoria::matrix
