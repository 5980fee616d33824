// 256-bit vectors (compiled with -mavx2, see bench/CMakeLists.txt): 16
// registers hold 7 accumulators, 7 multiplicands, the multiplier and a product.
#define PEAK_LANES 4
#define PEAK_ACCUMULATORS 7
#define PEAK_NAME peakPairs256
#include "peak_kernel.inc"
