// The micro-kernels compiled for avx2 (the flags are set in matrix/CMakeLists.txt).
#define NUMORIA_LANES 4
#define NUMORIA_INSTRUCTION_SET InstructionSet::Avx2
#define NUMORIA_TILE_NAME tileProduct_avx2
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_avx2
#include "matrix/kernels/tile_product.inc"
#include "matrix/kernels/elimination_update.inc"
