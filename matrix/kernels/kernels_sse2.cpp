// The micro-kernels compiled for sse2 (the flags are set in matrix/CMakeLists.txt).
#define NUMORIA_LANES 2
#define NUMORIA_INSTRUCTION_SET InstructionSet::Sse2
#define NUMORIA_TILE_NAME tileProduct_sse2
#define NUMORIA_ELIMINATION_NAME eliminationUpdate_sse2
#include "matrix/kernels/tile_product.inc"
#include "matrix/kernels/elimination_update.inc"
