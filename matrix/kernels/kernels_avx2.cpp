// The kernels compiled for avx2.
#define NUMORIA_LANES 4
#define NUMORIA_KERNEL_NAME blockedProduct_avx2
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_avx2
#include "matrix/kernels/blocked_product.inc"
#include "matrix/kernels/elimination_update.inc"
