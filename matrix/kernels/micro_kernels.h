// The only code compiled once per instruction set: the product's register
// tile and the elimination's column update. Everything around them (packing,
// cache blocking, edges) is compiled once, in blocked_product.cpp.
#pragma once

#include <cstddef>

namespace numoria::matrix::kernels {

// C(tile) = C(tile) + sum over k in [0, depth) of A(:, k) * B(k, :), k
// ascending, each product rounded before it is added (no fused
// multiply-add). With `fromZero` the sums start from zero and C is only
// written, never read: the same values as a C of zeros, without reading
// pages of a fresh result before they are written. The tile is tileRows x
// tileColumns of the instruction set's Blocking; its element (0, 0) is at c,
// its columns `stride` apart. packedA holds tileRows values per k; B is read
// where it lies, its element (k, j) at b[k + j * bStride].
using TileKernel = void (*)(const double* packedA, const double* b, std::ptrdiff_t bStride, std::ptrdiff_t depth,
                            double* c, std::ptrdiff_t stride, bool fromZero);

// b is an n x n column-major block (element (i, j), from 0, at b[i + j * n]).
// For j in [columnBegin, columnEnd) and i in [k + 1, rowEnd):
// b(i, j) = b(i, j) - f[i] * b(k, j).
using EliminationKernel = void (*)(double* b, std::ptrdiff_t n, std::ptrdiff_t k, const double* f,
                                   std::ptrdiff_t columnBegin, std::ptrdiff_t columnEnd, std::ptrdiff_t rowEnd);

#define NUMORIA_DECLARE_KERNELS(suffix)                                                                              \
    void tileProduct_##suffix(const double*, const double*, std::ptrdiff_t, std::ptrdiff_t, double*, std::ptrdiff_t, \
                              bool);                                                                                 \
    void eliminationUpdate_##suffix(double*, std::ptrdiff_t, std::ptrdiff_t, const double*, std::ptrdiff_t,          \
                                    std::ptrdiff_t, std::ptrdiff_t)
NUMORIA_DECLARE_KERNELS(sse2);
NUMORIA_DECLARE_KERNELS(avx2);
NUMORIA_DECLARE_KERNELS(avx512);
#undef NUMORIA_DECLARE_KERNELS

} // namespace numoria::matrix::kernels
