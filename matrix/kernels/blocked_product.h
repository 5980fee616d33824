// The cache-blocked product around an instruction set's register tile:
// packing, blocking and edges, compiled once for every instruction set.
#pragma once

#include <vector>

#include "matrix/kernels/blocking.h"
#include "matrix/kernels/micro_kernels.h"
#include "matrix/kernels/product_operands.h"

namespace numoria::matrix::kernels {

struct ProductKernel {
    Blocking blocking;
    TileKernel tile;
};

// The packed panels one product needs, kept by callers that multiply
// repeatedly (the determinant's deferred updates).
class ProductScratch {
public:
    // Room for an m x n by n x p product with any instruction set's
    // blocking; false when it cannot be allocated.
    bool reserve(std::ptrdiff_t m, std::ptrdiff_t n, std::ptrdiff_t p);

    double* a() { return aligned(a_); }
    double* b() { return aligned(b_); }

private:
    static double* aligned(std::vector<double>& buffer);
    std::vector<double> a_, b_;
};

// A (m x n) times B (n x p) is added to C (m x p): every element of C goes on
// as its own sum over k = 0, 1, ..., n - 1 in that order of A(i, k) * B(k, c),
// each product rounded to double before it is added. With C zero on entry
// this is the product, the same values, bit for bit, as the
// one-element-at-a-time loop; the determinant's deferred updates pass a
// non-zero C. The k range is split into chunks and a tile's partial sums go
// back to C between chunks, so blocking changes where sums are kept, never
// the order in which they are formed. `scratch` must have been reserved for
// at least this shape.
void blockedProduct(const ProductKernel& kernel, ConstView a, ConstView b, View c, std::ptrdiff_t m,
                    std::ptrdiff_t n, std::ptrdiff_t p, ProductScratch& scratch);

} // namespace numoria::matrix::kernels
