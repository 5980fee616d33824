// The Matrix record: row and column counts as 16-bit signed integers and the
// element array. Nothing ties m and n to the array's bounds: operations take
// their loop ranges from m and n and reach elements through the array's own
// bounds. Copying a record copies its array (a deep copy).
#pragma once

#include <cstdint>

#include "matrix/element_array.h"

namespace numoria::matrix {

struct Matrix {
    std::int16_t m = 0;
    std::int16_t n = 0;
    ElementArray Element;

    friend bool operator==(const Matrix&, const Matrix&) = default;
};

} // namespace numoria::matrix
