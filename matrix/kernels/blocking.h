// The instruction sets the kernels are compiled for, and for each the shape
// of its register tile and the sizes of its cache blocks: the one place
// where they are chosen. The micro-kernels read their tile shape from here
// at compile time, the packing and loop code at run time.
#pragma once

#include <cstddef>

namespace numoria::matrix::kernels {

enum class InstructionSet { Sse2, Avx2, Avx512 };

struct Blocking {
    std::ptrdiff_t tileRows, tileColumns; // the register tile of C
    std::ptrdiff_t panelRows;             // rows of A per packed panel, kept in L2
    std::ptrdiff_t depth;                 // k values per chunk: a tile's slice of B stays in L1
    std::ptrdiff_t panelColumns;          // columns of C a packed panel of A serves before it is packed again
};

// Indexed by InstructionSet. SSE2 and AVX2 have 16 vector registers (a tile
// of 2 vectors by 4 columns). AVX-512 has 32 registers of 8 doubles: 3
// vectors by 8 columns of accumulators, the products multiplying by B's
// values straight from memory (an embedded broadcast); its 256-deep chunks
// halve the passes over C, and a 192 x 256 panel of A (384 KiB) stays in a
// 1 MiB L2 beside the slices of B it meets. B is not packed: a tile reads
// its tileColumns columns where they lie, depth values each, and the same
// slice serves every tile of the panel of A. A panel of A serves 1024
// columns of C (the C it updates, 1.5 MiB, and B's 2 MiB stay in L3)
// before the next rows' panel is packed.
inline constexpr Blocking kBlocking[] = {
    {4, 4, 192, 128, 512},
    {8, 4, 192, 128, 512},
    {24, 8, 192, 256, 1024},
};

constexpr const Blocking& blockingOf(InstructionSet set) { return kBlocking[static_cast<int>(set)]; }

// Bounds over the table, for buffers that serve every tile.
inline constexpr std::ptrdiff_t kWidestTileRows = 24;
inline constexpr std::ptrdiff_t kWidestTileColumns = 8;

constexpr bool fitsTheBounds(const Blocking& b) {
    return b.tileRows <= kWidestTileRows && b.tileColumns <= kWidestTileColumns && b.panelRows % b.tileRows == 0 &&
           b.panelColumns % b.tileColumns == 0;
}
static_assert(fitsTheBounds(kBlocking[0]) && fitsTheBounds(kBlocking[1]) && fitsTheBounds(kBlocking[2]));

} // namespace numoria::matrix::kernels
