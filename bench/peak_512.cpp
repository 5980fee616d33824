// 512-bit vectors (compiled with -mavx512f, see bench/CMakeLists.txt): 32
// registers hold 14 accumulators, 14 multiplicands, the multiplier and the products.
#define PEAK_LANES 8
#define PEAK_ACCUMULATORS 14
#define PEAK_NAME peakPairs512
#include "peak_kernel.inc"
