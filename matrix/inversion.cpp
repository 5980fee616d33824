#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

#include "matrix/blocked_elimination.h"
#include "matrix/index_loops.h"
#include "matrix/kernel_paths.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "matrix/shared_minors.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"
#include "runtime/parallel.h"

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
// array holds the whole matrix, all minors are computed up front from a
// dense copy: their eliminations share their common passes (SharedMinors),
// and a minor that needs the repair step there, or meets a floating-point
// flag, is copied into a buffer of its own and its determinant taken there
// (over threads for large matrices). Where that too meets a flag, or where a
// buffer cannot be allocated, the minor goes the documented way, which
// reports what it meets. Errors can come only from that last way, and minors
// are asked for in the documented order, so the first error raised is the
// documented one. Neither way can fail before the other would: SubMat of
// such a record raises nothing, and the determinant of a minor can only
// overflow.
class MinorDeterminants {
public:
    MinorDeterminants(const Matrix& dMat, KernelPath path) : dMat_(dMat), path_(path), n_(dMat.n) {
        if (path == KernelPath::Fast && dMat.n >= 4 && EliminationWorkspace::suits(dMat)) computeFast();
    }

    double of(std::int16_t eRow, std::int16_t eCol) {
        if (!fast_.empty()) {
            if (const std::optional<double> value = fast_[index(eRow - 1, eCol - 1)]) return *value;
        }
        return DeterminantOn(path_, SubMat(dMat_, eRow, eCol));
    }

private:
    std::size_t index(std::ptrdiff_t r, std::ptrdiff_t c) const { return static_cast<std::size_t>(r + c * n_); }

    void computeFast() {
        std::vector<std::size_t> alone;
        try {
            a_.resize(index(0, n_));
            fast_.assign(index(0, n_), std::nullopt);
            alone.reserve(index(0, n_));
        } catch (const std::bad_alloc&) {
            fast_.clear();
            return;
        }
        for (std::int16_t j = 1; j <= n_; ++j)
            for (std::int16_t i = 1; i <= n_; ++i) a_[index(i - 1, j - 1)] = dMat_.Element.get(i, j);
        const kernels::InstructionSet set = kernels::bestInstructionSet();
        if (const auto shared = SharedMinors::of(a_.data(), n_, kernels::kernelsFor(set).eliminate)) {
            for (std::ptrdiff_t c = 0; c < n_; ++c)
                for (std::ptrdiff_t r = 0; r < n_; ++r) fast_[index(r, c)] = shared->at(r, c);
        }
        for (std::size_t i = 0; i < fast_.size(); ++i)
            if (!fast_[i]) alone.push_back(i);
        if (alone.empty()) return;
        const std::int64_t work = static_cast<std::int64_t>(alone.size()) * n_ * n_ * n_ / 3;
        const int parts =
            static_cast<int>(std::min<std::int64_t>(parallel::partsFor(work), static_cast<std::int64_t>(alone.size())));
        std::vector<EliminationWorkspace> workspaces(static_cast<std::size_t>(parts));
        std::atomic<std::size_t> next{0};
        parallel::runParts(parts, [&](int part) {
            for (std::size_t i; (i = next.fetch_add(1)) < alone.size();) {
                const auto position = static_cast<std::ptrdiff_t>(alone[i]);
                fast_[alone[i]] =
                    onItsOwn(workspaces[static_cast<std::size_t>(part)], position % n_, position / n_, set);
            }
            fp::clearStatus();
        });
    }

    // The minor without row r and column c (from 0) eliminated in a copy.
    std::optional<double> onItsOwn(EliminationWorkspace& workspace, std::ptrdiff_t r, std::ptrdiff_t c,
                                   kernels::InstructionSet set) const {
        const std::ptrdiff_t size = n_ - 1;
        const std::optional<DenseView> minor = workspace.prepare(size);
        if (!minor) return std::nullopt;
        for (std::ptrdiff_t j = 0; j < size; ++j) {
            const std::ptrdiff_t column = j < c ? j : j + 1;
            for (std::ptrdiff_t i = 0; i < size; ++i)
                minor->data()[i + j * size] = a_[index(i < r ? i : i + 1, column)];
        }
        return workspace.determinant(*minor, set);
    }

    const Matrix& dMat_;
    const KernelPath path_;
    const std::ptrdiff_t n_;
    std::vector<double> a_;
    std::vector<std::optional<double>> fast_;
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
    // The determinant and the minors split their work several times: one
    // team of threads serves every split of the call.
    const parallel::ScopedThreadTeam threads;

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
