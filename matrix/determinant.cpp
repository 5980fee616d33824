#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::matrix {

namespace {

// Gaussian elimination without row exchanges on a working copy. Two rules of
// its own: a zero pivot met while rows remain below it gives 0 at once, and a
// row whose diagonal the elimination would turn into zero first has the next
// row added to it (once for every row j whose element in the pivot column is
// non-zero when it is read), which leaves the determinant unchanged.
class Elimination {
public:
    explicit Elimination(const Matrix& dMat) : b_(dMat.Element), n_(dMat.n) {}

    double run() {
        double product = 1.0;
        for (std::int16_t k = 1; k <= n_; k = next16(k)) {
            for (std::int16_t i = next16(k); i <= n_; i = next16(i)) {
                if (at(k, k) == 0.0) return 0.0;
                if (lookAhead(k, i) == 0.0) repair(k, i);
                eliminate(k, i);
            }
            const double pivot = at(k, k);
            product = fp::checked([&] { return product * pivot; });
        }
        return product;
    }

private:
    double at(std::int16_t row, std::int16_t column) const { return b_.get(row, column); }

    // The value b(i, i) would take after row i is eliminated by row k.
    double lookAhead(std::int16_t k, std::int16_t i) const {
        const double bii = at(i, i), bik = at(i, k), bkk = at(k, k), bki = at(k, i);
        return fp::checked([&] { return bii - (bik / bkk) * bki; });
    }

    // The last row has no row below it to add. Its diagonal is never tested
    // as a pivot (the last pivot is multiplied in without the zero test), so
    // the repair has nothing to prevent there and is left out: a singular
    // matrix such as rows (1, 2, 3), (4, 5, 6), (7, 8, 9) gives 0.
    void repair(std::int16_t k, std::int16_t i) {
        if (i == n_) return;
        const std::int16_t below = next16(i);
        for (std::int16_t j = 1; j <= n_; j = next16(j)) {
            if (at(j, k) == 0.0) continue;
            for (std::int16_t l = 1; l <= n_; l = next16(l)) {
                const double lower = at(below, l), current = at(i, l);
                b_.set(i, l, fp::checked([&] { return lower + current; }));
            }
        }
    }

    void eliminate(std::int16_t k, std::int16_t i) {
        const double bik = at(i, k), bkk = at(k, k);
        const double f = fp::checked([&] { return bik / bkk; });
        for (std::int16_t j = k; j <= n_; j = next16(j)) {
            const double bij = at(i, j), bkj = at(k, j);
            b_.set(i, j, fp::checked([&] { return bij - f * bkj; }));
        }
    }

    ElementArray b_;
    const std::int16_t n_;
};

} // namespace

double Determinant(const Matrix& dMat) {
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
        return Elimination(dMat).run();
    }
}

} // namespace numoria::matrix
