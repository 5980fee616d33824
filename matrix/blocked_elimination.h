// The determinant's elimination in blocks of pivots, on a dense copy of rows
// and columns 1 to n. Within a block, the pivot rows, the pivot columns and
// the diagonal are brought up to date pass by pass (they are all that the
// look-ahead and the factors read), in panels of a few pivots whose updates
// reach the rest of the block after each panel (a panel's rows are worked on
// in a row-by-row copy while its passes run); the rest of the matrix
// receives the block's updates afterwards. Each deferred update is one
// ordered multiply-subtract, element by element in pass order. Every stored value is the one the row-by-row
// elimination stores. A pass that needs the repair step brings the whole
// matrix up to date and runs row by row.
#pragma once

#include <optional>
#include <vector>

#include "matrix/elimination.h"
#include "matrix/kernels/cpu_kernels.h"
#include "matrix/matrix.h"

namespace numoria::matrix {

// Buffers of the blocked elimination, kept between determinants of one size
// or smaller (the minors of one inversion) so that each needs no allocation.
class EliminationWorkspace {
public:
    // Whether the record's array holds rows and columns 1 to n (n >= 3, below 32767).
    static bool suits(const Matrix& dMat);

    // The record's rows and columns 1 to n, copied into the workspace;
    // nothing when the buffers cannot be allocated (the exact path decides).
    std::optional<DenseView> load(const Matrix& dMat);

    // Dimension n without filling it: the caller writes the n x n block.
    // Nothing when the buffers cannot be allocated.
    std::optional<DenseView> prepare(std::ptrdiff_t n);

    // The determinant of the block last prepared or loaded, or nothing when a
    // floating-point flag was raised and the exact path must decide what to report.
    std::optional<double> determinant(DenseView block, kernels::InstructionSet set);

private:
    friend class BlockedElimination;
    kernels::ScratchBuffer matrix_; // written whole by the caller or by load()
    std::vector<double> factors_, diagonal_, negatedFactors_, panelFactors_, stagedRows_;
    kernels::ProductScratch productScratch_;
};

} // namespace numoria::matrix
