// The cache-blocked product around an instruction set's register tile:
// packing, blocking and edges, compiled once for every instruction set.
#pragma once

#include <vector>

#include "matrix/kernels/blocking.h"
#include "matrix/kernels/micro_kernels.h"
#include "matrix/kernels/product_operands.h"
#include "matrix/kernels/scratch_buffer.h"

namespace numoria::matrix::kernels {

struct ProductKernel {
    Blocking blocking;
    TileKernel tile;
};

// The scratch one product needs for each thread it is split over: a packed
// panel of A and a padded copy of B's last columns when they are fewer than
// a tile's. Kept by callers that multiply repeatedly (the determinant's
// deferred updates).
class ProductScratch {
public:
    // Room for an m x n by n x p product with any instruction set's
    // blocking, split over as many threads as its size calls for; false
    // when it cannot be allocated.
    bool reserve(std::ptrdiff_t m, std::ptrdiff_t n, std::ptrdiff_t p);

    int parts() const { return static_cast<int>(parts_.size()); }
    double* a(int part) { return parts_[static_cast<std::size_t>(part)].a.aligned(); }
    double* edge(int part) { return parts_[static_cast<std::size_t>(part)].edge.data(); }

private:
    struct Panels {
        ScratchBuffer a, edge;
    };
    std::vector<Panels> parts_;
};

// Where the sums of C start: from the values C holds (the determinant's
// deferred updates), or from zero, C's old contents never read (a product
// into a fresh result). Zeros gives the values Load gives for a C of +0.0:
// the first sum is +0.0 + x either way.
enum class CStart { Load, Zeros };

// A (m x n) times B (n x p) is added to C (m x p): every element of C goes on
// as its own sum over k = 0, 1, ..., n - 1 in that order of A(i, k) * B(k, c),
// each product rounded to double before it is added. Starting from zero
// this is the product, the same values, bit for bit, as the
// one-element-at-a-time loop. The k range is split into chunks and a tile's
// partial sums go back to C between chunks, so blocking changes where sums
// are kept, never the order in which they are formed. Large products are
// split by columns of C over threads, each column computed by one of them.
// `scratch` must have been reserved for at least this shape.
void blockedProduct(const ProductKernel& kernel, ConstView a, ConstView b, View c, std::ptrdiff_t m, std::ptrdiff_t n,
                    std::ptrdiff_t p, ProductScratch& scratch, CStart start);

} // namespace numoria::matrix::kernels
