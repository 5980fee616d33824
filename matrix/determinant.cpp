#include <optional>

#include "matrix/blocked_elimination.h"
#include "matrix/elimination.h"
#include "matrix/kernel_paths.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"

namespace numoria::matrix {

namespace {

double determinantOn(const Matrix& dMat, std::optional<kernels::InstructionSet> fast) {
    if (dMat.m != dMat.n) raiseMatrixError("Determinant", "Cannot calculate Determinant of non-square matrix!");
    if (dMat.m == 0) raiseMatrixError("Determinant", "Matrix too small to calculate Determinant! ");
    const ElementArray& a = dMat.Element;
    switch (dMat.n) {
    case 1: return a.get(1, 1);
    case 2: {
        const double a22 = a.get(2, 2), a11 = a.get(1, 1), a21 = a.get(2, 1), a12 = a.get(1, 2);
        return fp::checked([&] { return a22 * a11 - a21 * a12; });
    }
    default:
        if (fast && EliminationWorkspace::suits(dMat)) {
            // Where the workspace cannot be had, the exact path allocates
            // less and raises out of memory (7) itself if it must.
            EliminationWorkspace workspace;
            if (const std::optional<DenseView> block = workspace.load(dMat)) {
                if (const std::optional<double> result = workspace.determinant(*block, *fast)) return *result;
            }
        }
        CheckedCopy copy(dMat);
        return Elimination<CheckedCopy>(dMat.n, copy).run();
    }
}

} // namespace

double Determinant(const Matrix& dMat) { return determinantOn(dMat, kernels::bestInstructionSet()); }

double DeterminantOn(KernelPath path, const Matrix& dMat) {
    return determinantOn(dMat, path == KernelPath::Fast ? std::optional(kernels::bestInstructionSet()) : std::nullopt);
}

double DeterminantWith(kernels::InstructionSet set, const Matrix& dMat) { return determinantOn(dMat, set); }

} // namespace numoria::matrix
