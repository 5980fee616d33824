// The two ways the large operations can run: the exact path, which follows
// the documented loops one element at a time with every check, and the fast
// path, which gives the same results and errors bit for bit and falls back to
// the exact path wherever its preconditions do not hold. Tests and benchmarks
// choose the path; the public operations take the fast one.
#pragma once

#include "matrix/kernels/cpu_kernels.h"
#include "matrix/matrix.h"

namespace numoria::matrix {

enum class KernelPath { Exact, Fast };

Matrix MultiplyMatrixOn(KernelPath path, const Matrix& dMat1, const Matrix& dMat2);

// The fast path with a given instruction set (one the CPU supports).
Matrix MultiplyMatrixWith(kernels::InstructionSet set, const Matrix& dMat1, const Matrix& dMat2);

double DeterminantOn(KernelPath path, const Matrix& dMat);
double DeterminantWith(kernels::InstructionSet set, const Matrix& dMat);

Matrix InvertMatrixOn(KernelPath path, const Matrix& dMat);

} // namespace numoria::matrix
