// The micro-kernels compiled for AVX-512 (the flags are set in
// matrix/CMakeLists.txt), on 512-bit vectors.
#define NUMORIA_LANES 8
#define NUMORIA_INSTRUCTION_SET InstructionSet::Avx512
#define NUMORIA_TILE_NAME tileProduct_avx512
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_avx512
#include "matrix/kernels/tile_product.inc"
#include "matrix/kernels/elimination_update.inc"
