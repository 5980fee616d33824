// The blocked product compiled for avx512.
#define NUMORIA_LANES 8
#define NUMORIA_KERNEL_NAME blockedProduct_avx512
#include "matrix/kernels/blocked_product.inc"
