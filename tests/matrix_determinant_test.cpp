#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "matrix/kernel_paths.h"
#include "matrix_test_support.h"

// While a test sets it, every operator new of at least this many bytes on its
// thread fails with std::bad_alloc: the determinant's and inversion's
// workspaces come from there, the records' own arrays do not.
namespace {
thread_local std::size_t t_failFrom = 0;
} // namespace

void* operator new(std::size_t size) {
    if (t_failFrom != 0 && size >= t_failFrom) throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace numoria::matrix {
namespace {

using namespace testing;

Matrix counts(std::int16_t m, std::int16_t n) {
    Matrix record;
    record.m = m;
    record.n = n;
    return record;
}

TEST(Determinant, Values) {
    struct Case {
        const char* what;
        Matrix input;
        double expected;
    };
    const std::vector<Case> cases = {
        {"1x1", fromRows({{-5}}), -5},
        {"1x1 zero", fromRows({{0}}), 0},
        {"2x2 closed form", fromRows({{1, 2}, {3, 4}}), -2},
        {"diagonal", fromRows({{2, 0, 0}, {0, 3, 0}, {0, 0, 4}}), 24},
        {"zero pivot with rows below gives 0 even when regular", fromRows({{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}), 0},
        {"repair step adds the next row twice", fromRows({{1, -1, 3}, {1, -1, 0}, {-1, 2, 1}}), 3},
        {"repair needed on the last row: singular gives 0", fromRows({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}), 0},
        {"zero in the last pivot", fromRows({{1, 0, 0}, {0, 1, 0}, {0, 0, 0}}), 0},
        {"4x4 elimination", fromRows({{2, 1, 0, 0}, {1, 2, 1, 0}, {0, 1, 2, 1}, {0, 0, 1, 2}}), 5},
        {"equal negative counts: no pass of the elimination", counts(-2, -2), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Matrix before = c.input;
        EXPECT_EQ(Determinant(c.input), c.expected);
        EXPECT_EQ(c.input, before);
    }
}

TEST(Determinant, RepairStepFollowsTheRowCountingRule) {
    // At k = 1, i = 2 the look-ahead is 0 and row 3 is added to row 2 for
    // j = 1 and j = 3 but not for j = 2, where b(2, 1) has just become 0. Row 2
    // becomes (-1, 3, 2); eliminating it gives pivot 2, and row 3 then
    // (0, 0, 1.5): 1 * 2 * 1.5 = 3. Adding row 3 once or three times would
    // give other pivots and, from there, other rounding of the same value.
    const Matrix input = fromRows({{1, -1, 3}, {1, -1, 0}, {-1, 2, 1}});
    EXPECT_EQ(Determinant(input), 3.0);
}

TEST(Determinant, Errors) {
    const ExpectedError nonSquare = matrixError("Determinant", "Cannot calculate Determinant of non-square matrix!");
    struct Case {
        const char* what;
        Matrix input;
        ExpectedError error;
    };
    const std::vector<Case> cases = {
        {"2x3", fromRows({{1, 2, 3}, {4, 5, 6}}), nonSquare},
        {"0x3: the square test comes first", counts(0, 3), nonSquare},
        {"0x0", counts(0, 0), matrixError("Determinant", "Matrix too small to calculate Determinant! ")},
        {"absent array", counts(3, 3), runtimeError(ErrorNumber::SubscriptOutOfRange)},
        {"array smaller than its counts",
         [] {
             Matrix record = fromRows({{1, 2}, {3, 4}});
             record.m = record.n = 3;
             return record;
         }(),
         runtimeError(ErrorNumber::SubscriptOutOfRange)},
        {"overflowing pivot product", fromRows({{1E200, 0, 0}, {0, 1E200, 0}, {0, 0, 1}}),
         runtimeError(ErrorNumber::Overflow)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Matrix before = c.input;
        expectError([&] { Determinant(c.input); }, c.error);
        EXPECT_EQ(c.input, before);
    }
}

// The workspace of the fast path cannot be had: the exact path gives the
// same value, and no std::bad_alloc leaves the operation.
TEST(Determinant, WithoutMemoryForTheWorkspaceTheExactPathAnswers) {
    constexpr std::int16_t kSize = 16; // above the stack copies of small determinants; workspaces over a kilobyte
    constexpr std::size_t kFailFrom = 512;
    Rows rows(kSize, std::vector<double>(kSize));
    for (std::size_t i = 0; i < kSize; ++i)
        for (std::size_t j = 0; j < kSize; ++j) rows[i][j] = i == j ? kSize : 1.0 / static_cast<double>(i + j + 1);
    const Matrix input = fromRows(rows);
    const double exactDeterminant = DeterminantOn(KernelPath::Exact, input);
    const Matrix exactInverse = InvertMatrixOn(KernelPath::Exact, input);
    t_failFrom = kFailFrom;
    double determinant = 0;
    std::optional<Matrix> inverse;
    EXPECT_NO_THROW(determinant = Determinant(input));
    EXPECT_NO_THROW(inverse = InvertMatrix(input));
    t_failFrom = 0;
    EXPECT_TRUE(sameBits(determinant, exactDeterminant));
    ASSERT_TRUE(inverse);
    EXPECT_EQ(toRows(*inverse), toRows(exactInverse));
}

} // namespace
} // namespace numoria::matrix
