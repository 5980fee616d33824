#include "matrix/kernels/blocked_product.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "runtime/parallel.h"

namespace numoria::matrix::kernels {

namespace {

constexpr std::ptrdiff_t kLineDoubles = 8; // doubles per cache line

std::ptrdiff_t roundUp(std::ptrdiff_t value, std::ptrdiff_t step) { return (value + step - 1) / step * step; }

// The blocking of each thread of a product split over several. Every
// thread packs panels of A of its own, and every thread the platform starts
// costs memory of its own (about 1 MiB under Wine), so the threads' panels
// of A are half as tall as one thread's, keeping the call's peak memory
// near one thread's.
Blocking splitBlocking(const Blocking& blocking) {
    Blocking split = blocking;
    split.panelRows = std::max(blocking.tileRows, blocking.panelRows / 2 / blocking.tileRows * blocking.tileRows);
    return split;
}

// A panel of A, rows [row0, row0 + rows) and k in [k0, k0 + depth), packed
// tile by tile: for each k, tileRows consecutive values (zero past the end).
void packA(const Blocking& shape, ConstView a, std::ptrdiff_t row0, std::ptrdiff_t rows, std::ptrdiff_t k0,
           std::ptrdiff_t depth, double* packed) {
    const std::ptrdiff_t tileRows = shape.tileRows;
    for (std::ptrdiff_t tile = 0; tile < rows; tile += tileRows) {
        const std::ptrdiff_t valid = std::min(tileRows, rows - tile);
        const double* column = a.data + (row0 + tile) + k0 * a.stride;
        for (std::ptrdiff_t k = 0; k < depth; ++k, column += a.stride, packed += tileRows) {
            std::memcpy(packed, column, sizeof(double) * static_cast<std::size_t>(valid));
            std::fill(packed + valid, packed + tileRows, 0.0);
        }
    }
}

// B's last columns, fewer than a tile's: k in [k0, k0 + depth) and columns
// [col0, col0 + columns), copied column by column (`depth` apart) and
// padded with zero columns to tileColumns.
void copyEdgeColumns(const Blocking& shape, ConstView b, std::ptrdiff_t k0, std::ptrdiff_t depth, std::ptrdiff_t col0,
                     std::ptrdiff_t columns, double* copy) {
    for (std::ptrdiff_t j = 0; j < shape.tileColumns; ++j, copy += depth) {
        if (j < columns)
            std::memcpy(copy, b.data + k0 + (col0 + j) * b.stride, sizeof(double) * static_cast<std::size_t>(depth));
        else
            std::fill(copy, copy + depth, 0.0);
    }
}

// One register tile of `rows` x `columns` elements of C from its element at
// `corner`: whole tiles are summed in C itself, the edges in a zero-padded copy.
void tile(const ProductKernel& kernel, const double* packedA, ConstView b, std::ptrdiff_t depth, double* corner,
          std::ptrdiff_t stride, std::ptrdiff_t rows, std::ptrdiff_t columns, bool fromZero) {
    const std::ptrdiff_t tileRows = kernel.blocking.tileRows;
    if (rows == tileRows && columns == kernel.blocking.tileColumns) {
        kernel.tile(packedA, b.data, b.stride, depth, corner, stride, fromZero);
        return;
    }
    double buffer[kWidestTileColumns * kWidestTileRows] = {};
    const auto columnBytes = static_cast<std::size_t>(rows) * sizeof(double);
    if (!fromZero) {
        for (std::ptrdiff_t j = 0; j < columns; ++j)
            std::memcpy(buffer + j * tileRows, corner + j * stride, columnBytes);
    }
    kernel.tile(packedA, b.data, b.stride, depth, buffer, tileRows, fromZero);
    for (std::ptrdiff_t j = 0; j < columns; ++j) std::memcpy(corner + j * stride, buffer + j * tileRows, columnBytes);
}

// Asks for the part of C the next tile sums, `rows` x `columns` from its
// element at `corner`, while this one computes.
void prefetchTile(const double* corner, std::ptrdiff_t stride, std::ptrdiff_t rows, std::ptrdiff_t columns) {
    for (std::ptrdiff_t j = 0; j < columns; ++j) {
        const double* column = corner + j * stride;
        for (std::ptrdiff_t r = 0; r < rows; r += kLineDoubles) __builtin_prefetch(column + r, 1, 3);
        __builtin_prefetch(column + rows - 1, 1, 3);
    }
}

// Every register tile of a packed row panel against B's rows [k0, k0 +
// depth) over columns [col0, col0 + columns); `edge` holds the copy of B's
// last columns there (copyEdgeColumns) when they are fewer than a tile's.
void panelProduct(const ProductKernel& kernel, const double* packedA, ConstView b, std::ptrdiff_t k0,
                  std::ptrdiff_t depth, View c, std::ptrdiff_t row0, std::ptrdiff_t rows, std::ptrdiff_t col0,
                  std::ptrdiff_t columns, bool fromZero, const double* edge) {
    const std::ptrdiff_t tileRows = kernel.blocking.tileRows, tileColumns = kernel.blocking.tileColumns;
    for (std::ptrdiff_t tc = 0; tc < columns; tc += tileColumns) {
        const std::ptrdiff_t width = std::min(tileColumns, columns - tc);
        const ConstView strip =
            width < tileColumns ? ConstView{edge, depth} : ConstView{b.data + k0 + (col0 + tc) * b.stride, b.stride};
        double* top = c.data + row0 + (col0 + tc) * c.stride;
        for (std::ptrdiff_t tr = 0; tr < rows; tr += tileRows) {
            if (tr + tileRows < rows && !fromZero)
                prefetchTile(top + tr + tileRows, c.stride, std::min(tileRows, rows - tr - tileRows), width);
            tile(kernel, packedA + tr * depth, strip, depth, top + tr, c.stride, std::min(tileRows, rows - tr), width,
                 fromZero);
        }
    }
}

// Columns [firstColumn, endColumn) of C.
void productColumns(const ProductKernel& kernel, ConstView a, ConstView b, View c, std::ptrdiff_t m, std::ptrdiff_t n,
                    std::ptrdiff_t firstColumn, std::ptrdiff_t endColumn, CStart start, double* packedA, double* edge) {
    const Blocking& blocking = kernel.blocking;
    for (std::ptrdiff_t col0 = firstColumn; col0 < endColumn; col0 += blocking.panelColumns) {
        const std::ptrdiff_t columns = std::min(blocking.panelColumns, endColumn - col0);
        for (std::ptrdiff_t k0 = 0; k0 < n; k0 += blocking.depth) {
            const std::ptrdiff_t depth = std::min(blocking.depth, n - k0);
            // Every panel of A meets the same copy of B's last columns.
            const std::ptrdiff_t whole = columns / blocking.tileColumns * blocking.tileColumns;
            if (whole < columns) copyEdgeColumns(blocking, b, k0, depth, col0 + whole, columns - whole, edge);
            for (std::ptrdiff_t row0 = 0; row0 < m; row0 += blocking.panelRows) {
                const std::ptrdiff_t rows = std::min(blocking.panelRows, m - row0);
                packA(blocking, a, row0, rows, k0, depth, packedA);
                panelProduct(kernel, packedA, b, k0, depth, c, row0, rows, col0, columns,
                             k0 == 0 && start == CStart::Zeros, edge);
            }
        }
    }
}

} // namespace

bool ProductScratch::reserve(std::ptrdiff_t m, std::ptrdiff_t n, std::ptrdiff_t p) {
    const int wanted = std::max(
        1, std::min<int>(parallel::partsFor(std::int64_t{m} * n * p), static_cast<int>(p / kWidestTileColumns)));
    std::size_t sizeA = 0, sizeEdge = 0;
    for (const Blocking& blocking : kBlocking) {
        const std::ptrdiff_t depth = std::min(n, blocking.depth);
        const std::ptrdiff_t panelA = roundUp(std::min(m, blocking.panelRows), blocking.tileRows) * depth;
        sizeA = std::max(sizeA, static_cast<std::size_t>(panelA + kLineDoubles));
        sizeEdge = std::max(sizeEdge, static_cast<std::size_t>(blocking.tileColumns * depth));
    }
    try {
        if (parts_.size() < static_cast<std::size_t>(wanted)) parts_.resize(static_cast<std::size_t>(wanted));
        for (Panels& part : parts_) {
            part.a.reserve(sizeA);
            part.edge.reserve(sizeEdge);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void blockedProduct(const ProductKernel& kernel, ConstView a, ConstView b, View c, std::ptrdiff_t m, std::ptrdiff_t n,
                    std::ptrdiff_t p, ProductScratch& scratch, CStart start) {
    const int parts = std::min(scratch.parts(), parallel::partsFor(std::int64_t{m} * n * p));
    if (parts <= 1) {
        productColumns(kernel, a, b, c, m, n, 0, p, start, scratch.a(0), scratch.edge(0));
        return;
    }
    // Column ranges in whole register tiles, as even as they can be.
    const std::ptrdiff_t tiles = (p + kernel.blocking.tileColumns - 1) / kernel.blocking.tileColumns;
    auto firstColumn = [&](int part) { return std::min(p, tiles * part / parts * kernel.blocking.tileColumns); };
    const ProductKernel perThread{splitBlocking(kernel.blocking), kernel.tile};
    parallel::runParts(parts, [&](int part) {
        productColumns(perThread, a, b, c, m, n, firstColumn(part), firstColumn(part + 1), start, scratch.a(part),
                       scratch.edge(part));
    });
}

} // namespace numoria::matrix::kernels
