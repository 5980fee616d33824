// The blocked product compiled for sse2.
#define NUMORIA_LANES 2
#define NUMORIA_KERNEL_NAME blockedProduct_sse2
#include "matrix/kernels/blocked_product.inc"
