#include <cmath>

#include "matrix/blocked_elimination.h"
#include "matrix/index_loops.h"
#include "matrix/kernel_paths.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "matrix/shared_minors.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::matrix {

namespace {

double reciprocal(double value) {
    return fp::checked([&] { return 1.0 / value; });
}

// (-1)^(i + j) as a double power of -1, taken as a 16-bit integer: +1 or -1.
std::int16_t cofactorSign(std::int16_t i, std::int16_t j) {
    const std::int16_t exponent = addChecked<std::int16_t>(i, j);
    return static_cast<std::int16_t>(std::pow(-1.0, exponent));
}

// Determinant(SubMat(dMat, i, j)) for every position. Where the record's
// array holds the whole matrix, the minors' eliminations share their common
// passes (SharedMinors); a minor that needs the repair step, or meets a
// floating-point flag there, is copied straight into one reused buffer and
// its determinant taken there; where that meets a floating-point flag, or
// where a buffer cannot be allocated, the minor goes the documented way,
// which reports what it meets. Errors can come only from that last way, and
// minors are asked for in the documented order, so the first error raised
// is the documented one. Neither way can fail before the other would: SubMat
// of such a record raises nothing, and the determinant of a minor can only
// overflow.
class MinorDeterminants {
public:
    MinorDeterminants(const Matrix& dMat, KernelPath path)
        : dMat_(dMat), path_(path), inPlace_(path == KernelPath::Fast && dMat.n >= 4 && EliminationWorkspace::suits(dMat)) {
        if (!inPlace_) return;
        if (const std::optional<DenseView> block = workspace_.load(dMat)) {
            const kernels::InstructionSet set = kernels::bestInstructionSet();
            shared_ = SharedMinors::of(block->data(), dMat.n, kernels::kernelsFor(set).eliminate);
        }
    }

    double of(std::int16_t eRow, std::int16_t eCol) {
        if (shared_) {
            if (const std::optional<double> value = shared_->at(eRow - 1, eCol - 1)) return *value;
        }
        const std::int16_t size = static_cast<std::int16_t>(dMat_.n - 1);
        const std::optional<DenseView> minor = inPlace_ ? workspace_.prepare(size) : std::nullopt;
        if (minor) {
            for (std::int16_t j = 1; j <= size; ++j) {
                const std::int16_t column = j < eCol ? j : static_cast<std::int16_t>(j + 1);
                for (std::int16_t i = 1; i <= size; ++i) {
                    minor->set(i, j, dMat_.Element.get(i < eRow ? i : static_cast<std::int16_t>(i + 1), column));
                }
            }
            if (const auto value = workspace_.determinant(*minor, kernels::bestInstructionSet())) return *value;
        }
        return DeterminantOn(path_, SubMat(dMat_, eRow, eCol));
    }

private:
    const Matrix& dMat_;
    const KernelPath path_;
    const bool inPlace_;
    EliminationWorkspace workspace_;
    std::optional<SharedMinors> shared_;
};

// The adjugate divided by the determinant: cofactors from the determinants of
// the minors, transposed, then scaled by the reciprocal of the determinant.
Matrix invertByAdjugate(const Matrix& dMat, double determinant, KernelPath path) {
    const std::int16_t n = dMat.n;
    Matrix cofactors = CreateMatrix(n, n);
    MinorDeterminants minors(dMat, path);
    forEachPosition(n, n, [&](std::int16_t i, std::int16_t j) {
        const double minorDeterminant = minors.of(i, j);
        const double sign = cofactorSign(i, j);
        cofactors.Element.set(i, j, fp::checked([&] { return sign * minorDeterminant; }));
    });
    const Matrix transposed = TransposeMatrix(cofactors);
    return ScaleMatrix(transposed, reciprocal(determinant));
}

} // namespace

Matrix InvertMatrix(const Matrix& dMat) { return InvertMatrixOn(KernelPath::Fast, dMat); }

Matrix InvertMatrixOn(KernelPath path, const Matrix& dMat) {
    if (dMat.m != dMat.n) raiseMatrixError("InvertMatrix", "Cannot invert a non-square matrix!");
    const ElementArray& a = dMat.Element;
    if (dMat.n == 1) return CreateMatrix(1, 1, DoubleValues{reciprocal(a.get(1, 1))});

    const double d = DeterminantOn(path, dMat);
    if (d == 0.0) raiseMatrixError("InvertMatrix", "Cannot invert matrix with Determinant = 0!");

    if (dMat.n == 2) {
        const double a22 = a.get(2, 2), a12 = a.get(1, 2), a21 = a.get(2, 1), a11 = a.get(1, 1);
        const Matrix adjugate = CreateMatrix(2, 2, DoubleValues{a22, -a12, -a21, a11});
        return ScaleMatrix(adjugate, reciprocal(d));
    }
    return invertByAdjugate(dMat, d, path);
}

} // namespace numoria::matrix
