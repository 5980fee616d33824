// The determinant's Gaussian elimination without row exchanges, on a working
// copy, step for step as documented. Two rules of its own: a zero pivot met
// while rows remain below it gives 0 at once, and a row whose diagonal the
// elimination would turn into zero first has the next row added to it (once
// for every row j whose element in the pivot column is non-zero when it is
// read), which leaves the determinant unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "matrix/matrix.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::matrix {

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

// An n x n column-major block that someone else owns, addressed from (1, 1)
// like the record it was copied from.
class DenseView {
public:
    DenseView(double* data, std::ptrdiff_t n) : data_(data), n_(n) {}

    double get(std::int16_t row, std::int16_t column) const { return data_[offset(row, column)]; }
    void set(std::int16_t row, std::int16_t column, double value) const { data_[offset(row, column)] = value; }
    double* data() const noexcept { return data_; }
    std::ptrdiff_t size() const noexcept { return n_; }

private:
    std::size_t offset(std::int16_t row, std::int16_t column) const {
        return static_cast<std::size_t>(row - 1) + static_cast<std::size_t>(column - 1) * n_;
    }

    double* data_;
    std::ptrdiff_t n_;
};

// How each arithmetic step is evaluated. Checked: the status test follows
// the step, so an error is raised where it happens. Plain: the flags only
// collect, for a caller that tests them once at the end and then has the
// checked elimination report what went wrong.
struct CheckedSteps {
    template <typename Step>
    static double of(Step step) {
        return fp::checked(step);
    }
};
struct PlainSteps {
    template <typename Step>
    static double of(Step step) {
        return step();
    }
};

template <typename Copy, typename Steps = CheckedSteps>
class Elimination {
public:
    Elimination(std::int16_t n, Copy& copy) : b_(copy), n_(n) {}

    double run() {
        double product = 1.0;
        for (std::int16_t k = 1; k <= n_; k = next16(k)) {
            if (!pass(k)) return 0.0;
            product = multiplyByPivot(product, k);
        }
        return product;
    }

    // Eliminates every row below row k by row k; false when the pivot is zero
    // while rows remain below it.
    bool pass(std::int16_t k) {
        for (std::int16_t i = next16(k); i <= n_; i = next16(i)) {
            if (b_.get(k, k) == 0.0) return false;
            if (lookAhead(k, i) == 0.0) repair(k, i);
            eliminate(k, i);
        }
        return true;
    }

    double multiplyByPivot(double product, std::int16_t k) const {
        const double pivot = b_.get(k, k);
        return Steps::of([&] { return product * pivot; });
    }

private:
    // The value b(i, i) would take after row i is eliminated by row k.
    double lookAhead(std::int16_t k, std::int16_t i) const {
        const double bii = b_.get(i, i), bik = b_.get(i, k), bkk = b_.get(k, k), bki = b_.get(k, i);
        return Steps::of([&] { return bii - (bik / bkk) * bki; });
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
                b_.set(i, l, Steps::of([&] { return lower + current; }));
            }
        }
    }

    void eliminate(std::int16_t k, std::int16_t i) {
        const double bik = b_.get(i, k), bkk = b_.get(k, k);
        const double f = Steps::of([&] { return bik / bkk; });
        for (std::int16_t j = k; j <= n_; j = next16(j)) {
            const double bij = b_.get(i, j), bkj = b_.get(k, j);
            b_.set(i, j, Steps::of([&] { return bij - f * bkj; }));
        }
    }

    Copy& b_;
    const std::int16_t n_;
};

} // namespace numoria::matrix
