// The micro-kernels compiled for AVX-512 (the flags are set in
// matrix/CMakeLists.txt). They work on 256-bit vectors, which AVX-512VL gives
// 32 registers.
#define NUMORIA_LANES 4
#define NUMORIA_INSTRUCTION_SET InstructionSet::Avx512
#define NUMORIA_TILE_NAME tileProduct_avx512
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_avx512
#include "matrix/kernels/tile_product.inc"
#include "matrix/kernels/elimination_update.inc"
