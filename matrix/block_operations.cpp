#include <algorithm>

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
Matrix placeBlock(const Matrix& dMatDest, const Matrix& dMatSrc, std::int16_t mPos, std::int16_t nPos,
                  Merge merge) {
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
    Matrix w = dMat;
    const std::int16_t columns = dMat.n;
    for (std::int16_t j = 1; j <= columns; j = next16(j)) {
        const double t = w.Element.get(RowA, j);
        w.Element.set(RowA, j, w.Element.get(RowB, j));
        w.Element.set(RowB, j, t);
    }
    return w;
}

Matrix SwapCol(const Matrix& dMat, std::int16_t ColA, std::int16_t ColB) {
    Matrix w = dMat;
    const std::int16_t rows = dMat.m;
    for (std::int16_t i = 1; i <= rows; i = next16(i)) {
        const double t = w.Element.get(i, ColA);
        w.Element.set(i, ColA, w.Element.get(i, ColB));
        w.Element.set(i, ColB, t);
    }
    return w;
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
