// Row-major walks over 1-based row and column positions with 16-bit counters:
// each bound is read once when its loop starts, and every step, the one after
// the last pass included, fails with overflow (6) past 32767.
#pragma once

#include <cstdint>

#include "runtime/checked_int.h"

namespace numoria::matrix {

template <typename Body>
void forEachPosition(std::int16_t rows, std::int16_t columns, Body body) {
    for (std::int16_t i = 1; i <= rows; i = next16(i)) {
        for (std::int16_t j = 1; j <= columns; j = next16(j)) body(i, j);
    }
}

} // namespace numoria::matrix
