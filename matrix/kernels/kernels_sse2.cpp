// The kernels compiled for sse2: 16 vector registers, a 2 x 4 tile.
#define NUMORIA_LANES 2
#define NUMORIA_TILE_VECTORS 2
#define NUMORIA_TILE_COLUMNS 4
#define NUMORIA_KERNEL_NAME blockedProduct_sse2
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_sse2
#include "matrix/kernels/blocked_product.inc"
#include "matrix/kernels/elimination_update.inc"
