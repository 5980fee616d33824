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

// Columns of B per packed panel for a product split over `parts` threads.
// Every thread the platform starts costs memory of its own (about 1 MiB
// under Wine), so the threads of a split product share out half a
// one-thread panel between them, keeping the call's peak near one thread's.
std::ptrdiff_t panelColumnsFor(const Blocking& blocking, int parts) {
    const std::ptrdiff_t share = parts == 1 ? blocking.panelColumns : blocking.panelColumns / (2 * parts);
    return std::max(blocking.tileColumns, share / blocking.tileColumns * blocking.tileColumns);
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

// A panel of B, k in [k0, k0 + depth) and columns [col0, col0 + columns),
// packed tile by tile: for each k, tileColumns consecutive values.
void packB(const Blocking& shape, ConstView b, std::ptrdiff_t k0, std::ptrdiff_t depth, std::ptrdiff_t col0,
           std::ptrdiff_t columns, double* packed) {
    const std::ptrdiff_t tileColumns = shape.tileColumns;
    for (std::ptrdiff_t tile = 0; tile < columns; tile += tileColumns) {
        const std::ptrdiff_t valid = std::min(tileColumns, columns - tile);
        const double* first = b.data + k0 + (col0 + tile) * b.stride;
        for (std::ptrdiff_t k = 0; k < depth; ++k, packed += tileColumns) {
            for (std::ptrdiff_t c = 0; c < tileColumns; ++c) packed[c] = c < valid ? first[k + c * b.stride] : 0.0;
        }
    }
}

// One register tile of `rows` x `columns` elements of C from its element at
// `corner`: whole tiles are summed in C itself, the edges in a zero-padded copy.
void tile(const ProductKernel& kernel, const double* packedA, const double* packedB, std::ptrdiff_t depth,
          double* corner, std::ptrdiff_t stride, std::ptrdiff_t rows, std::ptrdiff_t columns, bool fromZero) {
    const std::ptrdiff_t tileRows = kernel.blocking.tileRows;
    if (rows == tileRows && columns == kernel.blocking.tileColumns) {
        kernel.tile(packedA, packedB, depth, corner, stride, fromZero);
        return;
    }
    double buffer[kWidestTileColumns * kWidestTileRows] = {};
    const auto columnBytes = static_cast<std::size_t>(rows) * sizeof(double);
    if (!fromZero) {
        for (std::ptrdiff_t j = 0; j < columns; ++j)
            std::memcpy(buffer + j * tileRows, corner + j * stride, columnBytes);
    }
    kernel.tile(packedA, packedB, depth, buffer, tileRows, fromZero);
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

// Every register tile of a packed row panel against a packed column panel.
void panelProduct(const ProductKernel& kernel, const double* packedA, const double* packedB, std::ptrdiff_t depth,
                  View c, std::ptrdiff_t row0, std::ptrdiff_t rows, std::ptrdiff_t col0, std::ptrdiff_t columns,
                  bool fromZero) {
    const std::ptrdiff_t tileRows = kernel.blocking.tileRows, tileColumns = kernel.blocking.tileColumns;
    for (std::ptrdiff_t tc = 0; tc < columns; tc += tileColumns) {
        const std::ptrdiff_t width = std::min(tileColumns, columns - tc);
        double* top = c.data + row0 + (col0 + tc) * c.stride;
        for (std::ptrdiff_t tr = 0; tr < rows; tr += tileRows) {
            if (tr + tileRows < rows && !fromZero)
                prefetchTile(top + tr + tileRows, c.stride, std::min(tileRows, rows - tr - tileRows), width);
            tile(kernel, packedA + tr * depth, packedB + tc * depth, depth, top + tr, c.stride,
                 std::min(tileRows, rows - tr), width, fromZero);
        }
    }
}

// Columns [firstColumn, endColumn) of C.
void productColumns(const ProductKernel& kernel, ConstView a, ConstView b, View c, std::ptrdiff_t m, std::ptrdiff_t n,
                    std::ptrdiff_t firstColumn, std::ptrdiff_t endColumn, std::ptrdiff_t panelColumns, CStart start,
                    double* packedA, double* packedB) {
    const Blocking& blocking = kernel.blocking;
    for (std::ptrdiff_t col0 = firstColumn; col0 < endColumn; col0 += panelColumns) {
        const std::ptrdiff_t columns = std::min(panelColumns, endColumn - col0);
        for (std::ptrdiff_t k0 = 0; k0 < n; k0 += blocking.depth) {
            const std::ptrdiff_t depth = std::min(blocking.depth, n - k0);
            packB(blocking, b, k0, depth, col0, columns, packedB);
            for (std::ptrdiff_t row0 = 0; row0 < m; row0 += blocking.panelRows) {
                const std::ptrdiff_t rows = std::min(blocking.panelRows, m - row0);
                packA(blocking, a, row0, rows, k0, depth, packedA);
                panelProduct(kernel, packedA, packedB, depth, c, row0, rows, col0, columns,
                             k0 == 0 && start == CStart::Zeros);
            }
        }
    }
}

} // namespace

bool ProductScratch::reserve(std::ptrdiff_t m, std::ptrdiff_t n, std::ptrdiff_t p) {
    const int wanted = std::max(
        1, std::min<int>(parallel::partsFor(std::int64_t{m} * n * p), static_cast<int>(p / kWidestTileColumns)));
    // Part 0 also serves calls that are not split, with the one-thread panel
    // of B; the other parts only split calls, whose panels are narrower (at
    // their widest with two parts).
    std::size_t sizeA = 0, sizeFirstB = 0, sizeOtherB = 0;
    for (const Blocking& blocking : kBlocking) {
        const std::ptrdiff_t depth = std::min(n, blocking.depth);
        auto panelB = [&](int parts) {
            const std::ptrdiff_t columns = std::min(p, panelColumnsFor(blocking, parts));
            return static_cast<std::size_t>(roundUp(columns, blocking.tileColumns) * depth + kLineDoubles);
        };
        const std::ptrdiff_t panelA = roundUp(std::min(m, blocking.panelRows), blocking.tileRows) * depth;
        sizeA = std::max(sizeA, static_cast<std::size_t>(panelA + kLineDoubles));
        sizeFirstB = std::max(sizeFirstB, panelB(1));
        sizeOtherB = std::max(sizeOtherB, panelB(2));
    }
    try {
        if (parts_.size() < static_cast<std::size_t>(wanted)) parts_.resize(static_cast<std::size_t>(wanted));
        for (std::size_t part = 0; part < parts_.size(); ++part) {
            parts_[part].a.reserve(sizeA);
            parts_[part].b.reserve(part == 0 ? sizeFirstB : sizeOtherB);
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
        productColumns(kernel, a, b, c, m, n, 0, p, kernel.blocking.panelColumns, start, scratch.a(0), scratch.b(0));
        return;
    }
    // Column ranges in whole register tiles, as even as they can be.
    const std::ptrdiff_t tiles = (p + kernel.blocking.tileColumns - 1) / kernel.blocking.tileColumns;
    auto firstColumn = [&](int part) { return std::min(p, tiles * part / parts * kernel.blocking.tileColumns); };
    const std::ptrdiff_t panelColumns = panelColumnsFor(kernel.blocking, parts);
    parallel::runParts(parts, [&](int part) {
        productColumns(kernel, a, b, c, m, n, firstColumn(part), firstColumn(part + 1), panelColumns, start,
                       scratch.a(part), scratch.b(part));
    });
}

} // namespace numoria::matrix::kernels
