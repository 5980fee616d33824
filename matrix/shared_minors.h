// The determinants of all minors of one matrix, with the work their
// eliminations have in common done once.
//
// The minor without row r and column c is the matrix without row r (a
// "carrier" of n - 1 rows and n columns) without column c. Row by row, the
// elimination's passes k < c read and write only columns k and up of the
// pivot row and the rows below, and the minor's column k is the carrier's
// column k: so the carrier's own elimination, pass by pass, holds every one
// of those minors' values for its first c passes. One carrier per removed
// row serves the minors with c >= r; one per removed column (the matrix
// without column c, rows shared alike for passes k < r) serves those with
// r > c. Each minor then finishes its last n - 1 - max(r, c) passes on a
// copy of its trailing block.
//
// The documented rules hold for every minor: a zero pivot with rows below
// it gives +0 at once; the running product takes the pivots in pass order.
// Where a minor would need the repair step (some look-ahead value of its own
// diagonal is 0, which is the value the pass stores there), or where any
// floating-point flag was raised, the minor is left to be computed on its own.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "matrix/kernels/micro_kernels.h"

namespace numoria::matrix {

class SharedMinors {
public:
    // Every minor of the n x n column-major block `a` (n >= 4). Fails (empty)
    // only when memory for the buffers cannot be had.
    static std::optional<SharedMinors> of(const double* a, std::ptrdiff_t n, kernels::EliminationKernel eliminate);

    // The determinant of the minor without row r and column c (from 0), or
    // nothing when it must be computed on its own.
    std::optional<double> at(std::ptrdiff_t r, std::ptrdiff_t c) const;

private:
    explicit SharedMinors(std::ptrdiff_t n);
    std::ptrdiff_t n_;
    std::vector<double> values_;
    std::vector<unsigned char> known_;
    friend class MinorCarrier;
};

} // namespace numoria::matrix
