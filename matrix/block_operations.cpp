#include <algorithm>
#include <utility>

#include "matrix/index_loops.h"
#include "matrix/matrix_operations.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::matrix {

namespace {

// How many source rows (or columns) a block operation visits: all of the
// source's when it is smaller than the destination, otherwise as many as the
// destination has. The difference of the counts is formed either way, as the
// block size has always been derived from it, so counts whose difference
// leaves the 16-bit range fail with overflow.
std::int16_t blockExtent(std::int16_t sourceCount, std::int16_t destinationCount) {
    addChecked<std::int16_t>(subChecked<std::int16_t>(destinationCount, sourceCount), 1);
    return std::min(sourceCount, destinationCount);
}

// Writes each element of the source block into the copy of the destination at
// (i + mPos - 1, j + nPos - 1), merged with the element already there.
template <typename Merge>
Matrix placeBlock(const Matrix& dMatDest, const Matrix& dMatSrc, std::int16_t mPos, std::int16_t nPos, Merge merge) {
    Matrix w = dMatDest;
    const std::int16_t rows = blockExtent(dMatSrc.m, dMatDest.m);
    const std::int16_t columns = blockExtent(dMatSrc.n, dMatDest.n);
    const std::int16_t p = subChecked<std::int16_t>(mPos, 1);
    const std::int16_t q = subChecked<std::int16_t>(nPos, 1);
    forEachPosition(rows, columns, [&](std::int16_t i, std::int16_t j) {
        const double source = dMatSrc.Element.get(i, j);
        const std::int16_t row = addChecked<std::int16_t>(i, p);
        const std::int16_t column = addChecked<std::int16_t>(j, q);
        w.Element.set(row, column, merge(source, row, column, w.Element));
    });
    return w;
}

using Cell = std::pair<std::int16_t, std::int16_t>;

// Exchanges, in a copy of dMat, the element at cellA(k) with the one at
// cellB(k) for k from 1 to count. Values move without arithmetic.
template <typename CellA, typename CellB>
Matrix exchangeCells(const Matrix& dMat, std::int16_t count, CellA cellA, CellB cellB) {
    Matrix w = dMat;
    for (std::int16_t k = 1; k <= count; k = next16(k)) {
        const auto [rowA, columnA] = cellA(k);
        const auto [rowB, columnB] = cellB(k);
        const double t = w.Element.get(rowA, columnA);
        w.Element.set(rowA, columnA, w.Element.get(rowB, columnB));
        w.Element.set(rowB, columnB, t);
    }
    return w;
}

} // namespace

Matrix InsertMatrix(const Matrix& dMatDest, const Matrix& dMatSrc, std::int16_t mPos, std::int16_t nPos) {
    return placeBlock(dMatDest, dMatSrc, mPos, nPos,
                      [](double source, std::int16_t, std::int16_t, const ElementArray&) { return source; });
}

Matrix CombineMatrix(const Matrix& dMatDest, const Matrix& dMatSrc, std::int16_t mPos, std::int16_t nPos) {
    return placeBlock(dMatDest, dMatSrc, mPos, nPos,
                      [](double source, std::int16_t row, std::int16_t column, const ElementArray& w) {
                          const double current = w.get(row, column);
                          return fp::checked([&] { return source + current; });
                      });
}

Matrix SwapRow(const Matrix& dMat, std::int16_t RowA, std::int16_t RowB) {
    return exchangeCells(
        dMat, dMat.n,
        [&](std::int16_t j) {
            return Cell{RowA, j};
        },
        [&](std::int16_t j) {
            return Cell{RowB, j};
        });
}

Matrix SwapCol(const Matrix& dMat, std::int16_t ColA, std::int16_t ColB) {
    return exchangeCells(
        dMat, dMat.m,
        [&](std::int16_t i) {
            return Cell{i, ColA};
        },
        [&](std::int16_t i) {
            return Cell{i, ColB};
        });
}

Matrix SubMat(const Matrix& dMat, std::int16_t eRow, std::int16_t eCol) {
    const std::int16_t columns = subChecked<std::int16_t>(dMat.n, 1);
    const std::int16_t rows = subChecked<std::int16_t>(dMat.m, 1);
    Matrix w = CreateMatrix(rows, columns);
    // r and c walk the source, skipping the removed row and column.
    std::int16_t r = 0;
    for (std::int16_t i = 1; i <= rows; i = next16(i)) {
        r = addChecked<std::int16_t>(r, i == eRow ? 2 : 1);
        std::int16_t c = 0;
        for (std::int16_t j = 1; j <= columns; j = next16(j)) {
            c = addChecked<std::int16_t>(c, j == eCol ? 2 : 1);
            w.Element.set(i, j, dMat.Element.get(r, c));
        }
    }
    return w;
}

} // namespace numoria::matrix
