// The kernels compiled for AVX-512. They work on 256-bit vectors: with
// AVX-512VL those have 32 registers, room for a 3 x 8 tile of accumulators.
#pragma GCC target("avx512f,avx512vl")
#define NUMORIA_LANES 4
#define NUMORIA_TILE_VECTORS 3
#define NUMORIA_TILE_COLUMNS 8
#define NUMORIA_KERNEL_NAME blockedProduct_avx512
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_avx512
#include "matrix/kernels/blocked_product.inc"
#include "matrix/kernels/elimination_update.inc"
