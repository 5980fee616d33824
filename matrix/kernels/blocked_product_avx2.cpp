// The blocked product compiled for avx2.
#define NUMORIA_LANES 4
#define NUMORIA_KERNEL_NAME blockedProduct_avx2
#include "matrix/kernels/blocked_product.inc"
