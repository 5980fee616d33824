// The kernels compiled for sse2.
#define NUMORIA_LANES 2
#define NUMORIA_KERNEL_NAME blockedProduct_sse2
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_sse2
#include "matrix/kernels/blocked_product.inc"
#include "matrix/kernels/elimination_update.inc"
