#include "matrix/shared_minors.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "runtime/fp_status.h"
#include "runtime/parallel.h"

namespace numoria::matrix {

namespace {

// What one thread works in: a carrier, a minor's trailing block, factors.
struct Buffers {
    std::vector<double> carrier, trailing, factors;
    std::vector<unsigned char> active;
};

bool flagsRaised() {
    asm volatile("" ::: "memory");
    return fp::errorFlagRaised();
}

} // namespace

// The matrix without one row (serving the minors without that row and a
// column at or after it) or without one column (serving the minors without
// that column and a row after it), eliminated pass by pass while any of its
// minors still shares the pass. Minors are named by the index d they drop
// besides the carrier's own: a column for a row carrier, a row for a column
// carrier; minor d shares the passes k < d.
class MinorCarrier {
public:
    MinorCarrier(SharedMinors& table, const double* a, bool dropsRow, std::ptrdiff_t dropped, Buffers& buffers,
                 kernels::EliminationKernel eliminate)
            : table_(table),
              n_(table.n_),
              last_(table.n_ - 2),
              dropsRow_(dropsRow),
              dropped_(dropped),
              rows_(dropsRow ? n_ - 1 : n_),
              columns_(dropsRow ? n_ : n_ - 1),
              e_(buffers.carrier.data()),
              trailing_(buffers.trailing.data()),
              f_(buffers.factors.data()),
              active_(buffers.active.data()),
              eliminate_(eliminate) {
        for (std::ptrdiff_t j = 0; j < columns_; ++j) {
            const std::ptrdiff_t column = !dropsRow_ && j >= dropped_ ? j + 1 : j;
            for (std::ptrdiff_t i = 0; i < rows_; ++i)
                e(i, j) = a[(dropsRow_ && i >= dropped_ ? i + 1 : i) + column * n_];
        }
    }

    void run() {
        const std::ptrdiff_t first = dropsRow_ ? dropped_ : dropped_ + 1;
        for (std::ptrdiff_t d = 0; d < n_; ++d) active_[d] = d >= first;
        fp::clearStatus();
        double product = 1.0;
        if (first == 0) finish(0, product);
        for (std::ptrdiff_t k = 0; k <= last_; ++k) {
            const double pivot = e(k, k);
            if (k == last_) { // the last pass of minor n - 1: its pivot multiplied in, no test
                product = product * pivot;
                fp::settle(product);
                if (active_[n_ - 1] && !flagsRaised()) record(n_ - 1, product);
                break;
            }
            if (pivot == 0.0) {
                for (std::ptrdiff_t d = k + 1; d < n_; ++d)
                    if (active_[d]) record(d, 0.0);
                break;
            }
            for (std::ptrdiff_t i = k + 1; i < rows_; ++i) f_[i] = e(i, k) / pivot;
            eliminate_(e_, n_, k, f_, k, columns_, rows_);
            product = product * pivot;
            fp::settle(product);
            if (flagsRaised()) break;
            dropThoseNeedingRepair(k);
            if (k + 1 <= last_ && active_[k + 1]) finish(k + 1, product);
        }
        fp::clearStatus();
    }

private:
    double& e(std::ptrdiff_t i, std::ptrdiff_t j) { return e_[i + j * n_]; }

    // Minor d's element (i, j), both counted from 0 within the minor.
    double minorElement(std::ptrdiff_t d, std::ptrdiff_t i, std::ptrdiff_t j) {
        return e(!dropsRow_ && i >= d ? i + 1 : i, dropsRow_ && j >= d ? j + 1 : j);
    }

    void record(std::ptrdiff_t d, double value) {
        const std::ptrdiff_t r = dropsRow_ ? dropped_ : d, c = dropsRow_ ? d : dropped_;
        table_.values_[static_cast<std::size_t>(r + c * n_)] = value;
        table_.known_[static_cast<std::size_t>(r + c * n_)] = 1;
        active_[d] = 0;
    }

    // Pass k has stored each minor's look-ahead values on its diagonal: row
    // i's is the carrier's (i, i) for i < d and its neighbour for i >= d
    // ((i, i + 1) in a row carrier, (i + 1, i) in a column carrier). A minor
    // with a 0 among its rows below k would take the repair step.
    void dropThoseNeedingRepair(std::ptrdiff_t k) {
        std::ptrdiff_t firstZeroOnDiagonal = n_, lastZeroBeside = -1;
        for (std::ptrdiff_t i = k + 1; i <= last_; ++i) {
            if (e(i, i) == 0.0) firstZeroOnDiagonal = std::min(firstZeroOnDiagonal, i);
            if ((dropsRow_ ? e(i, i + 1) : e(i + 1, i)) == 0.0) lastZeroBeside = i;
        }
        for (std::ptrdiff_t d = k + 1; d < n_; ++d) {
            if (firstZeroOnDiagonal < d || lastZeroBeside >= d) active_[d] = 0;
        }
    }

    // Minor d's passes from d on, on a copy of its trailing block, the
    // product of its first d pivots given.
    void finish(std::ptrdiff_t d, double product) {
        const std::ptrdiff_t size = last_ + 1 - d;
        double* t = trailing_;
        for (std::ptrdiff_t j = 0; j < size; ++j)
            for (std::ptrdiff_t i = 0; i < size; ++i) t[i + j * size] = minorElement(d, d + i, d + j);
        active_[d] = 0;
        for (std::ptrdiff_t k = 0; k < size; ++k) {
            const double pivot = t[k + k * size];
            if (k == size - 1) {
                product = product * pivot;
                fp::settle(product);
                break;
            }
            if (pivot == 0.0) {
                product = 0.0;
                break;
            }
            for (std::ptrdiff_t i = k + 1; i < size; ++i) f_[i] = t[i + k * size] / pivot;
            eliminate_(t, size, k, f_, k, size, size);
            product = product * pivot;
            fp::settle(product);
            for (std::ptrdiff_t i = k + 1; i < size; ++i) {
                if (t[i + i * size] == 0.0) { // the repair step: left to the minor itself
                    fp::clearStatus();
                    return;
                }
            }
        }
        if (!flagsRaised()) record(d, product);
        fp::clearStatus();
    }

    SharedMinors& table_;
    const std::ptrdiff_t n_, last_;
    const bool dropsRow_;
    const std::ptrdiff_t dropped_, rows_, columns_;
    double *e_, *trailing_, *f_;
    unsigned char* active_;
    kernels::EliminationKernel eliminate_;
};

SharedMinors::SharedMinors(std::ptrdiff_t n)
        : n_(n), values_(static_cast<std::size_t>(n * n)), known_(static_cast<std::size_t>(n * n)) {}

std::optional<double> SharedMinors::at(std::ptrdiff_t r, std::ptrdiff_t c) const {
    const auto index = static_cast<std::size_t>(r + c * n_);
    if (!known_[index]) return std::nullopt;
    return values_[index];
}

std::optional<SharedMinors> SharedMinors::of(const double* a, std::ptrdiff_t n, kernels::EliminationKernel eliminate) {
    // Carriers in falling order of work: without row 0, without column 0,
    // without row 1, ... (the last row carrier serves one minor).
    const std::ptrdiff_t carriers = 2 * n - 1;
    const std::int64_t work = std::int64_t{n} * n * n * n + std::int64_t{n} * n * n * n * n / 30;
    const int parts = static_cast<int>(std::min<std::int64_t>(parallel::partsFor(work), carriers));
    try {
        SharedMinors table(n);
        std::vector<Buffers> buffers(static_cast<std::size_t>(parts));
        for (Buffers& b : buffers) {
            b.carrier.resize(static_cast<std::size_t>(n * n));
            b.trailing.resize(static_cast<std::size_t>(n * n));
            b.factors.resize(static_cast<std::size_t>(n + 1));
            b.active.resize(static_cast<std::size_t>(n));
        }
        std::atomic<std::ptrdiff_t> next{0};
        parallel::runParts(parts, [&](int part) {
            for (std::ptrdiff_t index; (index = next.fetch_add(1)) < carriers;) {
                MinorCarrier(table, a, index % 2 == 0, index / 2, buffers[static_cast<std::size_t>(part)], eliminate)
                    .run();
            }
        });
        return table;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace numoria::matrix
