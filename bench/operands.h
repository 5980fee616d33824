// Operands shared by the benchmarks.
#pragma once

#include "matrix/matrix_operations.h"

namespace numoria::bench {

// An n x n record near the identity (a dominant diagonal of ones), so that
// eliminations stay well away from zero pivots and the determinant from
// overflow at every size.
inline matrix::Matrix squareOfSize(std::int16_t n, double seed) {
    matrix::Matrix record = matrix::CreateMatrix(n, n);
    for (std::int32_t j = 1; j <= n; ++j)
        for (std::int32_t i = 1; i <= n; ++i)
            record.Element.set(i, j, i == j ? 1.0 : seed / (n * (2.0 + (i * 7 + j * 13) % 97)));
    return record;
}

} // namespace numoria::bench
