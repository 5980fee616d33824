// The fast kernels against the exact path: the same results bit for bit and
// the same errors, over random records of many shapes, bounds and contents.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>
#include <random>

#include "matrix/kernel_paths.h"
#include "matrix_test_support.h"
#include "runtime/parallel.h"

namespace numoria::matrix {
namespace {

using testing::Outcome;
using testing::outcomeOf;
using testing::sameBits;

// Equal results bit for bit, except that any NaN matches any NaN: which NaN
// payload survives depends on operand order inside one instruction.
void expectSameOutcome(const Outcome& exact, const Outcome& fast) {
    ASSERT_EQ(exact.error, fast.error);
    EXPECT_EQ(exact.source, fast.source);
    EXPECT_EQ(exact.description, fast.description);
    if (!exact.result) return;
    const ElementArray& e = exact.result->Element;
    const ElementArray& f = fast.result->Element;
    ASSERT_EQ(e.rows(), f.rows());
    ASSERT_EQ(e.columns(), f.columns());
    for (std::size_t k = 0; k < e.size(); ++k) {
        const double x = e.data()[k], y = f.data()[k];
        if (std::isnan(x) && std::isnan(y)) continue;
        ASSERT_TRUE(sameBits(x, y)) << "element " << k << ": " << x << " vs " << y;
    }
}

// Runs `check` with the large operations split over 1, 2 and 3 threads,
// calls from 16 x 16 x 16 steps up included, so that the splits are proven
// on small records too.
constexpr std::int64_t kSmallSplit = 16 * 16 * 16;

template <typename Check>
void withEachThreadCount(Check check) {
    for (const int threads : {1, 2, 3}) {
        SCOPED_TRACE(::testing::Message() << threads << " thread(s)");
        parallel::setThreads(threads, kSmallSplit);
        check();
        parallel::setThreads(0, 0);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// A determinant as a 1 x 1 record, so that outcomes compare alike.
Matrix fromDouble(double value) { return testing::fromRows({{value}}); }

class RecordMaker {
public:
    explicit RecordMaker(unsigned seed) : random_(seed) {}

    // A record with the given counts whose array has random bounds around
    // (1 To rows, 1 To columns) and values of the chosen kind.
    Matrix make(std::int16_t rows, std::int16_t columns, int special) {
        Matrix record;
        record.m = rows;
        record.n = columns;
        if (chance(0.03)) return record; // absent array
        const std::int32_t lower1 = pick(-1, 1), lower2 = pick(-1, 1);
        const std::int32_t upper1 = std::max<std::int32_t>(lower1, rows + pick(chance(0.05) ? -1 : 0, 2));
        const std::int32_t upper2 = std::max<std::int32_t>(lower2, columns + pick(chance(0.05) ? -1 : 0, 2));
        record.Element = ElementArray::withBounds(lower1, upper1, lower2, upper2);
        for (std::size_t k = 0; k < record.Element.size(); ++k) record.Element.data()[k] = value(special);
        return record;
    }

    std::int16_t count(int largest) { return static_cast<std::int16_t>(pick(0, largest)); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
    std::int32_t pick(std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random_);
    }

private:
    double value(int special) {
        if (chance(0.1)) return 0.0;
        switch (special) {
        case 4: // small whole numbers: exact zeros in look-aheads and pivots
            return static_cast<double>(pick(-2, 2));
        case 1: // huge values that overflow
            if (chance(0.02)) return DBL_MAX / pick(1, 4);
            break;
        case 2: // tiny values that underflow
            if (chance(0.3)) return DBL_MIN * std::uniform_real_distribution<double>(-1, 1)(random_);
            break;
        case 3: // infinities and not-a-numbers
            if (chance(0.01)) return std::numeric_limits<double>::infinity();
            if (chance(0.01)) return std::numeric_limits<double>::quiet_NaN();
            break;
        default: break;
        }
        return std::uniform_real_distribution<double>(-10, 10)(random_);
    }

    std::mt19937 random_;
};

TEST(FastProduct, MatchesTheExactPathBitForBit) {
    withEachThreadCount([&] {
        RecordMaker maker(20261208);
        for (const kernels::InstructionSet set : kernels::supportedInstructionSets()) {
            SCOPED_TRACE(kernels::nameOf(set));
            for (int trial = 0; trial < 400; ++trial) {
                const std::int16_t m = maker.count(40), n = maker.count(40), p = maker.count(40);
                const int special = trial % 4;
                const Matrix a = maker.make(m, n, special);
                const Matrix b = maker.make(maker.chance(0.05) ? static_cast<std::int16_t>(n + 1) : n, p, special);
                SCOPED_TRACE(::testing::Message()
                             << "trial " << trial << ": " << m << "x" << n << " by " << b.m << "x" << p);
                expectSameOutcome(outcomeOf([&] { return MultiplyMatrixOn(KernelPath::Exact, a, b); }),
                                  outcomeOf([&] { return MultiplyMatrixWith(set, a, b); }));
            }
        }
    });
}

TEST(FastProduct, MatchesAcrossBlockBoundariesAndAtTheCounterLimit) {
    withEachThreadCount([&] {
        RecordMaker maker(7);
        struct Shape {
            std::int16_t m, n, p;
        };
        // Panels of A are 192 rows (96 a thread when split) with chunks of 128 or
        // 256 k values, serving 512 or 1024 columns of C; register tiles are up to
        // 24 rows by 8 columns, so 25 x 17 leaves partial tiles on both edges of
        // whole ones, and 30 x 1030 a partial tile of B's columns after a panel's end.
        const std::vector<Shape> shapes = {{193, 257, 9}, {25, 129, 17}, {24, 128, 16}, {17, 513, 5},
                                           {3, 7, 515},   {30, 3, 1030}, {1, 32767, 1}, {2, 1, 32767}};
        for (const kernels::InstructionSet set : kernels::supportedInstructionSets()) {
            for (const Shape& shape : shapes) {
                SCOPED_TRACE(::testing::Message()
                             << kernels::nameOf(set) << " " << shape.m << "x" << shape.n << "x" << shape.p);
                const Matrix a = CreateMatrix(shape.m, shape.n);
                Matrix filledA = a;
                for (std::size_t k = 0; k < filledA.Element.size(); ++k) filledA.Element.data()[k] = 1.0 / (k + 3.0);
                Matrix b = CreateMatrix(shape.n, shape.p);
                for (std::size_t k = 0; k < b.Element.size(); ++k) b.Element.data()[k] = std::sin(k + 1.0);
                expectSameOutcome(outcomeOf([&] { return MultiplyMatrixOn(KernelPath::Exact, filledA, b); }),
                                  outcomeOf([&] { return MultiplyMatrixWith(set, filledA, b); }));
            }
        }
    });
}

void expectSameDeterminant(kernels::InstructionSet set, const Matrix& record) {
    const Outcome exact = outcomeOf([&] { return fromDouble(DeterminantOn(KernelPath::Exact, record)); });
    const Outcome fast = outcomeOf([&] { return fromDouble(DeterminantWith(set, record)); });
    expectSameOutcome(exact, fast);
}

TEST(FastDeterminant, MatchesTheExactPathBitForBit) {
    withEachThreadCount([&] {
        RecordMaker maker(1208);
        for (const kernels::InstructionSet set : kernels::supportedInstructionSets()) {
            SCOPED_TRACE(kernels::nameOf(set));
            for (int trial = 0; trial < 600; ++trial) {
                // Blocks hold 64 pivots: sizes up to 100 cross a block
                // boundary; from 128 on, large blocks work on copies of
                // their panels' rows.
                const auto n = static_cast<std::int16_t>(trial % 100 == 0 ? maker.pick(128, 150)
                                                                          : maker.pick(3, trial % 3 == 0 ? 100 : 40));
                const Matrix record = maker.make(n, n, trial % 5);
                SCOPED_TRACE(::testing::Message() << "trial " << trial << ": n = " << n);
                expectSameDeterminant(set, record);
            }
        }
    });
}

TEST(FastDeterminant, MatchesOnTheDocumentedCases) {
    const std::vector<testing::Rows> cases = {
        {{1, -1, 3}, {1, -1, 0}, {-1, 2, 1}},      // repair step
        {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}},         // look-ahead 0 on the last row
        {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},         // zero pivot
        {{1E200, 0, 0}, {0, 1E200, 0}, {0, 0, 1}}, // overflowing product
    };
    for (const kernels::InstructionSet set : kernels::supportedInstructionSets()) {
        for (const testing::Rows& rows : cases) expectSameDeterminant(set, testing::fromRows(rows));
    }
}

TEST(FastInversion, MatchesTheExactPathBitForBit) {
    withEachThreadCount([&] {
        RecordMaker maker(9);
        for (int trial = 0; trial < 120; ++trial) {
            const auto n = static_cast<std::int16_t>(maker.pick(1, trial % 4 == 0 ? 40 : 12));
            const Matrix record = maker.make(n, n, trial % 5);
            SCOPED_TRACE(::testing::Message() << "trial " << trial << ": n = " << n);
            expectSameOutcome(outcomeOf([&] { return InvertMatrixOn(KernelPath::Exact, record); }),
                              outcomeOf([&] { return InvertMatrixOn(KernelPath::Fast, record); }));
        }
    });
}

TEST(FastInversion, MatchesWhereMinorsMeetTheZeroPivotAndRepairRules) {
    // Entries planted so that the first pass stores an exact 0 at chosen
    // places beside the diagonal: the minors whose diagonal lands there take
    // the repair step, while the matrix itself and most other minors go on.
    // Zeros at (1, 2) or (2, 1) are the first pivot of the minors without
    // row or column 1: they give 0 at once.
    RecordMaker maker(14);
    auto planted = [&](std::int16_t n, std::vector<std::pair<int, int>> places) {
        Matrix record = maker.make(n, n, 0);
        record.Element = ElementArray::withBounds(1, n, 1, n);
        for (std::int32_t j = 1; j <= n; ++j)
            for (std::int32_t i = 1; i <= n; ++i)
                record.Element.set(i, j, maker.pick(-40, 40) / 8.0 + (i == j ? 9 : 0));
        for (const auto& [i, j] : places) {
            const double f = record.Element.get(i, 1) / record.Element.get(1, 1);
            record.Element.set(i, j, (i == 1) != (j == 1) ? 0.0 : f * record.Element.get(1, j));
        }
        return record;
    };
    const std::vector<std::pair<const char*, Matrix>> cases = {
        {"beside the diagonal, n = 5", planted(5, {{2, 3}, {4, 3}})},
        {"first pivots of minors, n = 8", planted(8, {{2, 1}, {1, 2}})},
        {"first pivots and repairs, n = 33", planted(33, {{2, 1}, {4, 5}, {30, 29}})},
        {"above and below the diagonal, n = 9", planted(9, {{3, 4}, {5, 4}, {7, 8}, {8, 7}})},
        {"next to the last row, n = 17", planted(17, {{16, 17}, {17, 16}, {2, 3}})},
        {"many places, n = 40", planted(40, {{3, 2}, {6, 7}, {10, 9}, {20, 21}, {21, 20}, {39, 40}})},
        {"small whole numbers, n = 12", maker.make(12, 12, 4)},
    };
    std::vector<Outcome> exact;
    for (const auto& entry : cases)
        exact.push_back(outcomeOf([&] { return InvertMatrixOn(KernelPath::Exact, entry.second); }));
    withEachThreadCount([&] {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(cases[i].first);
            expectSameOutcome(exact[i], outcomeOf([&] { return InvertMatrixOn(KernelPath::Fast, cases[i].second); }));
        }
    });
}

TEST(FastDeterminant, MatchesWhenABlockStopsHalfway) {
    withEachThreadCount([&] {
        // 136 x 136 records near the identity (large enough for the
        // blocks' staged rows), so that passes run in blocks of 64 pivots
        // until the planted entries make one pass stop. Small entries
        // everywhere else make every pass change the rows below it, so
        // that a stop must carry each of them on.
        auto nearIdentity = [](auto plant) {
            testing::Rows rows(136, std::vector<double>(136, 0.0));
            for (std::size_t i = 0; i < rows.size(); ++i) {
                for (std::size_t j = 0; j < rows.size(); ++j)
                    rows[i][j] = 0.001 * static_cast<double>(static_cast<int>((i * 7 + j * 13) % 11) - 5);
                rows[i][i] = 1.0 + 0.01 * static_cast<double>(i % 7);
                if (i + 3 < rows.size()) rows[i][i + 3] = 0.125;
                if (i >= 2) rows[i][i - 2] = -0.25;
            }
            plant(rows);
            return testing::fromRows(rows);
        };
        const std::vector<std::pair<const char*, Matrix>> cases = {
            {"repair step at pass 10 of a block", nearIdentity([](testing::Rows& r) {
                 r[9][9] = 1.0, r[19][19] = 1.0, r[19][9] = 1.0, r[9][19] = 1.0;
                 for (std::size_t j = 0; j < 9; ++j) r[19][j] = r[j][19] = r[9][j] = r[j][9] = 0.0;
             })},
            {"zero pivot at pass 70, in the second block", nearIdentity([](testing::Rows& r) {
                 r[69][69] = 0.0;
                 for (std::size_t j = 0; j < 69; ++j) r[69][j] = r[j][69] = 0.0;
             })},
            {"overflow in a deferred update", nearIdentity([](testing::Rows& r) {
                 r[5][80] = 1E300;
                 r[80][5] = 1E300;
             })},
        };
        for (const kernels::InstructionSet set : kernels::supportedInstructionSets()) {
            for (const auto& [what, record] : cases) {
                SCOPED_TRACE(::testing::Message() << kernels::nameOf(set) << ": " << what);
                expectSameDeterminant(set, record);
            }
        }
    });
}

} // namespace
} // namespace numoria::matrix
