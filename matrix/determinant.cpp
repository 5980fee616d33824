#include <optional>
#include <type_traits>
#include <vector>

#include "matrix/kernel_paths.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::matrix {

namespace {

// The working copy as the documented elimination sees it: a deep copy of the
// record's array, every access checked against its bounds.
class CheckedCopy {
public:
    explicit CheckedCopy(const Matrix& dMat) : b_(dMat.Element) {}
    double get(std::int16_t row, std::int16_t column) const { return b_.get(row, column); }
    void set(std::int16_t row, std::int16_t column, double value) { b_.set(row, column, value); }

private:
    ElementArray b_;
};

// Rows and columns 1 to n of the record in one contiguous column-major block,
// for records whose array holds them all; the passes that need no repair run
// in vectors.
class DenseCopy {
public:
    DenseCopy(const Matrix& dMat, kernels::EliminationKernel kernel)
        : n_(dMat.n), b_(static_cast<std::size_t>(n_) * n_), f_(static_cast<std::size_t>(n_)), kernel_(kernel) {
        for (std::ptrdiff_t j = 0; j < n_; ++j)
            for (std::ptrdiff_t i = 0; i < n_; ++i)
                b_[i + j * n_] = dMat.Element.get(static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(j + 1));
    }
    static bool suits(const Matrix& dMat) {
        const ElementArray& array = dMat.Element;
        return dMat.n < 32767 && array.present() && array.rows().contains(1) && array.rows().contains(dMat.n) &&
               array.columns().contains(1) && array.columns().contains(dMat.n);
    }
    double get(std::int16_t row, std::int16_t column) const { return b_[offset(row, column)]; }
    void set(std::int16_t row, std::int16_t column, double value) { b_[offset(row, column)] = value; }

    // Eliminates every row below k by row k, given the row factors f(i).
    template <typename Factor>
    void eliminateBelow(std::int16_t k, Factor factor) {
        for (std::int16_t i = next16(k); i <= n_; i = next16(i)) f_[i - 1] = factor(i);
        fp::clearStatus();
        kernel_(b_.data(), n_, k - 1, f_.data());
        if (fp::errorFlagRaised()) fp::raiseForFlags();
    }

private:
    std::size_t offset(std::int16_t row, std::int16_t column) const {
        return static_cast<std::size_t>(row - 1) + static_cast<std::size_t>(column - 1) * n_;
    }

    std::ptrdiff_t n_;
    std::vector<double> b_;
    std::vector<double> f_;
    kernels::EliminationKernel kernel_;
};

// Gaussian elimination without row exchanges on a working copy. Two rules of
// its own: a zero pivot met while rows remain below it gives 0 at once, and a
// row whose diagonal the elimination would turn into zero first has the next
// row added to it (once for every row j whose element in the pivot column is
// non-zero when it is read), which leaves the determinant unchanged.
//
// On the dense copy a pass whose look-ahead values are all non-zero runs as
// one vector update of the rows below the pivot: their eliminations are then
// independent of one another, so the stored values are those of the
// row-by-row pass, and any floating-point error of the pass is the one the
// row-by-row pass would raise (overflow: no step of it can divide by zero).
template <typename Copy>
class Elimination {
public:
    Elimination(std::int16_t n, Copy copy) : b_(std::move(copy)), n_(n) {}

    double run() {
        double product = 1.0;
        for (std::int16_t k = 1; k <= n_; k = next16(k)) {
            if (!vectorPass(k) && !rowByRowPass(k)) return 0.0;
            const double pivot = b_.get(k, k);
            product = fp::checked([&] { return product * pivot; });
        }
        return product;
    }

private:
    // The documented pass; false when it meets a zero pivot.
    bool rowByRowPass(std::int16_t k) {
        for (std::int16_t i = next16(k); i <= n_; i = next16(i)) {
            if (b_.get(k, k) == 0.0) return false;
            if (lookAhead(k, i) == 0.0) repair(k, i);
            eliminate(k, i);
        }
        return true;
    }

    // The pass in vectors, when the copy allows it and no row needs the
    // repair step; false leaves the pass to the row-by-row loop.
    bool vectorPass(std::int16_t k) {
        if constexpr (std::is_same_v<Copy, DenseCopy>) {
            if (k == n_ || b_.get(k, k) == 0.0) return false;
            for (std::int16_t i = next16(k); i <= n_; i = next16(i)) {
                if (lookAhead(k, i) == 0.0) return false;
            }
            b_.eliminateBelow(k, [&](std::int16_t i) { return factor(k, i); });
            return true;
        } else {
            (void)k;
            return false;
        }
    }

    // The value b(i, i) would take after row i is eliminated by row k.
    double lookAhead(std::int16_t k, std::int16_t i) const {
        const double bii = b_.get(i, i), bik = b_.get(i, k), bkk = b_.get(k, k), bki = b_.get(k, i);
        return fp::checked([&] { return bii - (bik / bkk) * bki; });
    }

    double factor(std::int16_t k, std::int16_t i) const {
        const double bik = b_.get(i, k), bkk = b_.get(k, k);
        return fp::checked([&] { return bik / bkk; });
    }

    // The last row has no row below it to add. Its diagonal is never tested
    // as a pivot (the last pivot is multiplied in without the zero test), so
    // the repair has nothing to prevent there and is left out: a singular
    // matrix such as rows (1, 2, 3), (4, 5, 6), (7, 8, 9) gives 0.
    void repair(std::int16_t k, std::int16_t i) {
        if (i == n_) return;
        const std::int16_t below = next16(i);
        for (std::int16_t j = 1; j <= n_; j = next16(j)) {
            if (b_.get(j, k) == 0.0) continue;
            for (std::int16_t l = 1; l <= n_; l = next16(l)) {
                const double lower = b_.get(below, l), current = b_.get(i, l);
                b_.set(i, l, fp::checked([&] { return lower + current; }));
            }
        }
    }

    void eliminate(std::int16_t k, std::int16_t i) {
        const double f = factor(k, i);
        for (std::int16_t j = k; j <= n_; j = next16(j)) {
            const double bij = b_.get(i, j), bkj = b_.get(k, j);
            b_.set(i, j, fp::checked([&] { return bij - f * bkj; }));
        }
    }

    Copy b_;
    const std::int16_t n_;
};

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
            return Elimination<DenseCopy>(dMat.n, DenseCopy(dMat, kernels::eliminationKernelFor(*fast))).run();
        }
        return Elimination<CheckedCopy>(dMat.n, CheckedCopy(dMat)).run();
    }
}

} // namespace

double Determinant(const Matrix& dMat) { return determinantOn(dMat, kernels::bestInstructionSet()); }

double DeterminantOn(KernelPath path, const Matrix& dMat) {
    return determinantOn(dMat, path == KernelPath::Fast ? std::optional(kernels::bestInstructionSet()) : std::nullopt);
}

double DeterminantWith(kernels::InstructionSet set, const Matrix& dMat) { return determinantOn(dMat, set); }

} // namespace numoria::matrix
