#include <optional>

#include "matrix/blocked_elimination.h"
#include "matrix/elimination.h"
#include "matrix/kernel_paths.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "runtime/parallel.h"

namespace numoria::matrix {

namespace {

// Records up to this size are eliminated step by step on a copy kept on the
// stack: for them, setting up the blocked elimination's buffers costs more
// than the arithmetic.
constexpr std::int16_t kLargestStackDeterminant = 12;

// The documented elimination with plain steps on a stack copy of the
// record's rows and columns 1 to n; the flags are tested once at the end,
// and nothing is returned when one was raised (the exact path then reports
// it).
std::optional<double> stackDeterminant(const Matrix& dMat) {
    double elements[kLargestStackDeterminant * kLargestStackDeterminant];
    const DenseView block(elements, dMat.n);
    for (std::int16_t j = 1; j <= dMat.n; ++j)
        for (std::int16_t i = 1; i <= dMat.n; ++i) block.set(i, j, dMat.Element.get(i, j));
    fp::clearStatus();
    double value = Elimination<const DenseView, PlainSteps>(dMat.n, block).run();
    fp::settle(value);
    if (fp::errorFlagRaisedAfterWriting(elements)) return std::nullopt;
    return value;
}

// The fast path's determinant, or nothing where the exact path must decide:
// a flag was raised, or (for the blocked elimination) its workspace cannot
// be had, where the exact path allocates less and raises out of memory (7)
// itself if it must.
std::optional<double> fastDeterminant(const Matrix& dMat, kernels::InstructionSet set) {
    if (dMat.n <= kLargestStackDeterminant) return stackDeterminant(dMat);
    // A large elimination splits its work after every block of pivots: one
    // team of threads serves all those splits.
    const parallel::ScopedThreadTeam threads;
    EliminationWorkspace workspace;
    const std::optional<DenseView> block = workspace.load(dMat);
    if (!block) return std::nullopt;
    return workspace.determinant(*block, set);
}

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
            if (const std::optional<double> result = fastDeterminant(dMat, *fast)) return *result;
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
