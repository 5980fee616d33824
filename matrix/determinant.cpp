#include <optional>

#include "matrix/blocked_elimination.h"
#include "matrix/elimination.h"
#include "matrix/kernel_paths.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"

namespace numoria::matrix {

DenseCopy::DenseCopy(const Matrix& dMat) : n_(dMat.n), b_(static_cast<std::size_t>(n_) * n_) {
    for (std::ptrdiff_t j = 0; j < n_; ++j)
        for (std::ptrdiff_t i = 0; i < n_; ++i)
            b_[i + j * n_] = dMat.Element.get(static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(j + 1));
}

bool DenseCopy::suits(const Matrix& dMat) {
    const ElementArray& array = dMat.Element;
    return dMat.n >= 1 && dMat.n < 32767 && array.present() && array.rows().contains(1) &&
           array.rows().contains(dMat.n) && array.columns().contains(1) && array.columns().contains(dMat.n);
}

namespace {

double determinantOn(const Matrix& dMat, std::optional<kernels::InstructionSet> fast) {
    if (dMat.m != dMat.n) raiseMatrixError("Determinant", "Cannot calculate Determinant of non-square matrix!");
    if (dMat.m == 0) raiseMatrixError("Determinant", "Matrix too small to calculate Determinant! ");
    const ElementArray& a = dMat.Element;
    switch (dMat.n) {
    case 1:
        return a.get(1, 1);
    case 2: {
        const double a22 = a.get(2, 2), a11 = a.get(1, 1), a21 = a.get(2, 1), a12 = a.get(1, 2);
        return fp::checked([&] { return a22 * a11 - a21 * a12; });
    }
    default:
        if (fast && DenseCopy::suits(dMat)) {
            if (const std::optional<double> result = blockedDeterminant(dMat, *fast)) return *result;
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
