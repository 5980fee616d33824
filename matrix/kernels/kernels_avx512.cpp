// The kernels compiled for avx512.
#define NUMORIA_LANES 8
#define NUMORIA_KERNEL_NAME blockedProduct_avx512
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_avx512
#include "matrix/kernels/blocked_product.inc"
#include "matrix/kernels/elimination_update.inc"
