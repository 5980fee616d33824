// Plain views of column-major operands for the fast matrix kernels: element
// (i, k), counted from 0, is at data[i + k * stride].
#pragma once

#include <cstddef>

namespace numoria::matrix::kernels {

struct ConstView {
    const double* data;
    std::ptrdiff_t stride;
};

struct View {
    double* data;
    std::ptrdiff_t stride;
};

// A (m x n) times B (n x p) is added to C (m x p): every element of C goes on
// as its own sum over k = 0, 1, ..., n - 1 in that order of A(i, k) * B(k, c),
// each product rounded to double before it is added. With C zero on entry
// this is the product, the same values, bit for bit, as the
// one-element-at-a-time loop; the determinant's deferred updates pass a
// non-zero C.
// The kernels pack panels of A and B into scratch buffers of these sizes
// (in doubles), which the caller provides at any alignment: each size has
// room to start the panel on a cache line.
inline constexpr std::ptrdiff_t kProductDepth = 128;         // k values per chunk
inline constexpr std::ptrdiff_t kProductPanelRows = 192;     // rows of A per packed panel
inline constexpr std::ptrdiff_t kProductPanelColumns = 512;  // columns of B per packed panel
inline constexpr std::ptrdiff_t kWidestTileRows = 24;    // register tiles have at most this many rows
inline constexpr std::ptrdiff_t kWidestTileColumns = 8;  // and this many columns
inline constexpr std::ptrdiff_t kScratchAlignment = 8;   // doubles per cache line

struct ProductScratch {
    std::ptrdiff_t a, b;
};

// What the product of an m x n and an n x p operand needs.
constexpr ProductScratch productScratchFor(std::ptrdiff_t m, std::ptrdiff_t n, std::ptrdiff_t p) {
    auto roundUp = [](std::ptrdiff_t value, std::ptrdiff_t step) { return (value + step - 1) / step * step; };
    const std::ptrdiff_t depth = n < kProductDepth ? n : kProductDepth;
    return {roundUp(m < kProductPanelRows ? m : kProductPanelRows, kWidestTileRows) * depth + kScratchAlignment,
            roundUp(p < kProductPanelColumns ? p : kProductPanelColumns, kWidestTileColumns) * depth +
                kScratchAlignment};
}

// Panels, not whole operands: at n = 2048 they take under a tenth of the result.
static_assert(10 * (productScratchFor(2048, 2048, 2048).a + productScratchFor(2048, 2048, 2048).b) < 2048 * 2048);

using ProductKernel = void (*)(ConstView a, ConstView b, View c, std::ptrdiff_t m, std::ptrdiff_t n,
                               std::ptrdiff_t p, double* scratchA, double* scratchB);

// The kernels, one per instruction set; each may run only where the CPU has it.
void blockedProduct_sse2(ConstView, ConstView, View, std::ptrdiff_t, std::ptrdiff_t, std::ptrdiff_t, double*,
                         double*);
void blockedProduct_avx2(ConstView, ConstView, View, std::ptrdiff_t, std::ptrdiff_t, std::ptrdiff_t, double*,
                         double*);
void blockedProduct_avx512(ConstView, ConstView, View, std::ptrdiff_t, std::ptrdiff_t, std::ptrdiff_t, double*,
                           double*);

// b is an n x n column-major block (element (i, j), from 0, at b[i + j * n]).
// For j in [columnBegin, columnEnd) and i in [k + 1, rowEnd):
// b(i, j) = b(i, j) - f[i] * b(k, j).
using EliminationKernel = void (*)(double* b, std::ptrdiff_t n, std::ptrdiff_t k, const double* f,
                                   std::ptrdiff_t columnBegin, std::ptrdiff_t columnEnd, std::ptrdiff_t rowEnd);

#define NUMORIA_DECLARE_ELIMINATION(name)                                                                          \
    void name(double*, std::ptrdiff_t, std::ptrdiff_t, const double*, std::ptrdiff_t, std::ptrdiff_t, std::ptrdiff_t)
NUMORIA_DECLARE_ELIMINATION(eliminationUpdate_sse2);
NUMORIA_DECLARE_ELIMINATION(eliminationUpdate_avx2);
NUMORIA_DECLARE_ELIMINATION(eliminationUpdate_avx512);
#undef NUMORIA_DECLARE_ELIMINATION

} // namespace numoria::matrix::kernels
