#include "matrix/blocked_elimination.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "runtime/parallel.h"

namespace numoria::matrix {

namespace {

constexpr std::ptrdiff_t kBlock = 64; // pivots per block
constexpr std::ptrdiff_t kPanel = 8;  // pivots per panel within a block
// From this size on, a panel's rows are worked on in a row-by-row copy (see
// stagedRow); in smaller blocks every column stays in the caches, and the
// passes update the rows in place.
constexpr std::ptrdiff_t kStagedFrom = 128;
// What copying one element into a freshly allocated block is worth in the
// multiply-add steps that decide when work is split over threads: the
// system's mapping of each page on its first write dominates.
constexpr std::int64_t kFreshElementSteps = 8;

} // namespace

class BlockedElimination {
public:
    BlockedElimination(DenseView block, EliminationWorkspace& workspace, kernels::InstructionSet set)
            : copy_(block),
              n_(block.size()),
              staged_(n_ >= kStagedFrom),
              eliminate_(kernels::kernelsFor(set).eliminate),
              multiply_(kernels::kernelsFor(set).product),
              factors_(workspace.factors_.data()),
              diagonal_(workspace.diagonal_.data()),
              negatedFactors_(workspace.negatedFactors_.data()),
              panelFactors_(workspace.panelFactors_.data()),
              stagedRows_(workspace.stagedRows_.data()),
              scratch_(workspace.productScratch_) {}

    std::optional<double> run() {
        fp::clearStatus();
        double product = 1.0;
        std::ptrdiff_t k = 0; // pivots count from 0 here
        while (k < n_ - 1) {
            const std::ptrdiff_t end = std::min(k + kBlock, n_ - 1);
            const Stop stop = runBlock(k, end, product);
            if (flagsRaised()) return std::nullopt;
            if (stop == Stop::ZeroPivot) return 0.0;
            if (stop == Stop::Repair) {
                if (!repairPass(k, product)) return std::nullopt;
                k += 1;
            } else {
                k = end;
            }
        }
        product = product * at(n_ - 1, n_ - 1);
        fp::settle(product);
        if (flagsRaised()) return std::nullopt;
        return product;
    }

private:
    enum class Stop { Done, ZeroPivot, Repair };

    double& at(std::ptrdiff_t i, std::ptrdiff_t j) { return copy_.data()[i + j * n_]; }

    bool flagsRaised() const { return fp::errorFlagRaisedAfterWriting(copy_.data()); }

    // Passes k to end - 1, in panels of kPanel pivots. A panel's passes
    // update, one by one, its own columns below the pivot and its own rows
    // over every column to their right; what they owe the rest of the block
    // is added after the panel, and what they owe the rows and columns from
    // `end` on after the block, each by one ordered multiply-add. On a stop
    // at pass k, `k` is that pass and the matrix is up to date as of the
    // pass before it.
    Stop runBlock(std::ptrdiff_t& k, std::ptrdiff_t end, double& product) {
        const std::ptrdiff_t first = k;
        for (std::ptrdiff_t i = end; i < n_; ++i) diagonal_[i] = at(i, i);
        for (std::ptrdiff_t panel = first; panel < end; panel += kPanel) {
            const std::ptrdiff_t panelEnd = std::min(panel + kPanel, end);
            for (std::ptrdiff_t i = panelEnd; i < end; ++i) diagonal_[i] = at(i, i);
            stagePanelRows(panel, panelEnd);
            for (k = panel; k < panelEnd; ++k) {
                const Stop stop = pass(k, first, panel, panelEnd, end, product);
                if (stop != Stop::Done) {
                    unstagePanelRows(panel, panelEnd);
                    applyPanel(first, panel, k, panelEnd, end);
                    applyDeferred(first, k, end);
                    return stop;
                }
            }
            unstagePanelRows(panel, panelEnd);
            applyPanel(first, panel, panelEnd, panelEnd, end);
        }
        applyDeferred(first, end, end);
        return Stop::Done;
    }

    // Pass k of a panel from `panel` to panelEnd, in a block from `first` to `end`.
    Stop pass(std::ptrdiff_t k, std::ptrdiff_t first, std::ptrdiff_t panel, std::ptrdiff_t panelEnd, std::ptrdiff_t end,
              double& product) {
        const double pivot = at(k, k);
        if (pivot == 0.0) return Stop::ZeroPivot;
        for (std::ptrdiff_t i = k + 1; i < n_; ++i) factors_[i] = at(i, k) / pivot;
        const double* f = factors_;
        // The look-ahead value of row i is b(i, i) - f(i) * b(k, i), the value
        // the pass stores there; the diagonal beyond the panel is kept up to
        // date here (a stop rebuilds it).
        bool repair = false;
        for (std::ptrdiff_t i = k + 1; i < panelEnd; ++i) repair |= at(i, i) - f[i] * at(k, i) == 0.0;
        // Row k over the columns after the panel, where it is kept now.
        const double* pivotRow = staged_ ? stagedRow(panel, k) : &at(k, panelEnd);
        const std::ptrdiff_t step = staged_ ? 1 : n_;
        for (std::ptrdiff_t i = panelEnd; i < n_; ++i) {
            diagonal_[i] = diagonal_[i] - f[i] * pivotRow[(i - panelEnd) * step];
            repair |= diagonal_[i] == 0.0;
        }
        if (repair) return Stop::Repair;
        eliminate_(copy_.data(), n_, k, f, k, panelEnd, n_); // the panel's columns, every row below k
        // The panel's rows, over the columns after it.
        if (staged_) {
            const std::ptrdiff_t width = n_ - panelEnd;
            for (std::ptrdiff_t i = k + 1; i < panelEnd; ++i) {
                double* row = stagedRow(panel, i);
                const double factor = f[i];
                for (std::ptrdiff_t j = 0; j < width; ++j) row[j] = row[j] - factor * pivotRow[j];
            }
        } else {
            eliminate_(copy_.data(), n_, k, f, panelEnd, n_, panelEnd);
        }
        double* negated = negatedFactors_ + (k - first) * (n_ - end);
        for (std::ptrdiff_t i = end; i < n_; ++i) negated[i - end] = -f[i];
        double* inner = panelFactors_ + (k - panel) * kBlock;
        for (std::ptrdiff_t i = panelEnd; i < end; ++i) inner[i - panelEnd] = -f[i];
        product = product * pivot;
        fp::settle(product);
        return Stop::Done;
    }

    // The panel's rows over the columns after it, row by row, in large
    // blocks: a pass reads its pivot row there (the look-ahead) and updates
    // the rows below it, so kept in the matrix they would cost a cache line
    // a column on every pass instead of on the way in and out of the panel.
    double* stagedRow(std::ptrdiff_t panel, std::ptrdiff_t row) { return stagedRows_ + (row - panel) * n_; }

    void stagePanelRows(std::ptrdiff_t panel, std::ptrdiff_t panelEnd) {
        if (!staged_) return;
        for (std::ptrdiff_t j = panelEnd; j < n_; ++j) {
            for (std::ptrdiff_t i = panel; i < panelEnd; ++i) stagedRow(panel, i)[j - panelEnd] = at(i, j);
        }
    }

    void unstagePanelRows(std::ptrdiff_t panel, std::ptrdiff_t panelEnd) {
        if (!staged_) return;
        for (std::ptrdiff_t j = panelEnd; j < n_; ++j) {
            for (std::ptrdiff_t i = panel; i < panelEnd; ++i) at(i, j) = stagedRow(panel, i)[j - panelEnd];
        }
    }

    // Passes panel to last - 1 on what the panel's own passes left out within
    // the block: its later rows over every column after the panel, and the
    // rows from `end` on over the block's later columns.
    void applyPanel(std::ptrdiff_t first, std::ptrdiff_t panel, std::ptrdiff_t last, std::ptrdiff_t panelEnd,
                    std::ptrdiff_t end) {
        const std::ptrdiff_t depth = last - panel, rows = end - panelEnd, rest = n_ - end;
        if (depth == 0 || panelEnd == end) return;
        const kernels::ConstView panelRows{copy_.data() + panel + panelEnd * n_, n_};
        kernels::blockedProduct(multiply_, {panelFactors_, kBlock}, panelRows,
                                {copy_.data() + panelEnd + panelEnd * n_, n_}, rows, depth, n_ - panelEnd, scratch_,
                                kernels::CStart::Load);
        if (rest == 0) return;
        kernels::blockedProduct(multiply_, {negatedFactors_ + (panel - first) * rest, rest}, panelRows,
                                {copy_.data() + end + panelEnd * n_, n_}, rest, depth, rows, scratch_,
                                kernels::CStart::Load);
    }

    // Passes first to last - 1 on rows and columns from `end` on: each element
    // adds (-f(i)) * b(k, j) for k in order, which is b - f * b(k, j) bit for bit.
    void applyDeferred(std::ptrdiff_t first, std::ptrdiff_t last, std::ptrdiff_t end) {
        const std::ptrdiff_t depth = last - first, rest = n_ - end;
        if (depth == 0 || rest == 0) return;
        kernels::blockedProduct(multiply_, {negatedFactors_, rest}, {copy_.data() + first + end * n_, n_},
                                {copy_.data() + end + end * n_, n_}, rest, depth, rest, scratch_,
                                kernels::CStart::Load);
    }

    // Pass k (from 0) row by row, repair step included, in the documented
    // order of rows and steps; false when a floating-point flag was raised
    // (the exact path then reports it). The pivot is not zero here.
    bool repairPass(std::ptrdiff_t k, double& product) {
        const double pivot = at(k, k);
        for (std::ptrdiff_t i = k + 1; i < n_; ++i) {
            const double lookAhead = at(i, i) - (at(i, k) / pivot) * at(k, i);
            if (lookAhead == 0.0 && i != n_ - 1) repair(k, i);
            const double f = at(i, k) / pivot;
            for (std::ptrdiff_t j = k; j < n_; ++j) at(i, j) = at(i, j) - f * at(k, j);
        }
        product = product * pivot;
        fp::settle(product);
        return !flagsRaised();
    }

    // Row i + 1 added to row i once for every row j whose element in column
    // k is non-zero when it is read.
    void repair(std::ptrdiff_t k, std::ptrdiff_t i) {
        for (std::ptrdiff_t j = 0; j < n_; ++j) {
            if (at(j, k) == 0.0) continue;
            for (std::ptrdiff_t l = 0; l < n_; ++l) at(i, l) = at(i + 1, l) + at(i, l);
        }
    }

    DenseView copy_;
    std::ptrdiff_t n_;
    bool staged_;
    kernels::EliminationKernel eliminate_;
    const kernels::ProductKernel& multiply_;
    double *factors_, *diagonal_, *negatedFactors_, *panelFactors_, *stagedRows_;
    kernels::ProductScratch& scratch_;
};

bool EliminationWorkspace::suits(const Matrix& dMat) {
    const ElementArray& array = dMat.Element;
    return dMat.n >= 3 && dMat.n < 32767 && array.present() && array.rows().contains(1) &&
           array.rows().contains(dMat.n) && array.columns().contains(1) && array.columns().contains(dMat.n);
}

std::optional<DenseView> EliminationWorkspace::prepare(std::ptrdiff_t n) {
    auto grow = [](std::vector<double>& buffer, std::ptrdiff_t size) {
        if (buffer.size() < static_cast<std::size_t>(size)) buffer.resize(static_cast<std::size_t>(size));
    };
    if (!productScratch_.reserve(n, kBlock, n)) return std::nullopt;
    try {
        matrix_.reserve(static_cast<std::size_t>(n * n));
        grow(factors_, n);
        grow(diagonal_, n);
        grow(negatedFactors_, n * kBlock);
        grow(panelFactors_, kBlock * kPanel);
        grow(stagedRows_, kPanel * n);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return DenseView{matrix_.data(), n};
}

std::optional<DenseView> EliminationWorkspace::load(const Matrix& dMat) {
    const std::optional<DenseView> block = prepare(dMat.n);
    if (!block) return std::nullopt;
    // Column by column from the array's element (1, 1), which suits() has checked.
    const ElementArray& array = dMat.Element;
    const auto stride = static_cast<std::ptrdiff_t>(array.rows().count);
    const double* first = array.data() + (1 - static_cast<std::ptrdiff_t>(array.rows().lowerBound)) +
                          (1 - static_cast<std::ptrdiff_t>(array.columns().lowerBound)) * stride;
    const std::ptrdiff_t n = dMat.n;
    auto copyColumns = [&](std::ptrdiff_t begin, std::ptrdiff_t end) {
        for (std::ptrdiff_t j = begin; j < end; ++j)
            std::memcpy(block->data() + j * n, first + j * stride, sizeof(double) * static_cast<std::size_t>(n));
    };
    // Writing a freshly allocated block first makes the system map its pages,
    // which costs far more than the copy; threads map their columns' pages
    // side by side (one part runs on the calling thread).
    const int parts = matrix_.freshlyAllocated() ? parallel::partsFor(std::int64_t{n} * n * kFreshElementSteps) : 1;
    parallel::runParts(parts, [&](int part) { copyColumns(n * part / parts, n * (part + 1) / parts); });
    return block;
}

std::optional<double> EliminationWorkspace::determinant(DenseView block, kernels::InstructionSet set) {
    return BlockedElimination(block, *this, set).run();
}

} // namespace numoria::matrix
