// The determinant's elimination in blocks of pivots, for records whose array
// holds rows and columns 1 to n. Within a block, the pivot rows, the pivot
// columns and the diagonal are brought up to date pass by pass (they are all
// the look-ahead and the factors read); the rest of the matrix receives the
// block's updates afterwards, in one ordered multiply-subtract, element by
// element in pass order. Every stored value is the one the row-by-row
// elimination stores. A pass that needs the repair step brings the whole
// matrix up to date and runs row by row.
#pragma once

#include <optional>

#include "matrix/kernels/cpu_kernels.h"
#include "matrix/matrix.h"

namespace numoria::matrix {

// The determinant (n >= 3), or nothing when a floating-point flag was raised
// and the exact path must decide what to report.
std::optional<double> blockedDeterminant(const Matrix& dMat, kernels::InstructionSet set);

} // namespace numoria::matrix
