#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "matrix_test_support.h"

namespace numoria::matrix {
namespace {

using namespace testing;

const ExpectedError kSubscript = runtimeError(ErrorNumber::SubscriptOutOfRange);
const ExpectedError kOverflow = runtimeError(ErrorNumber::Overflow);
const ExpectedError kZeroSize = matrixError("CreateMatrix", "Cannot create matrix with dimention = 0!");

Matrix withoutArray(std::int16_t m, std::int16_t n) {
    Matrix record;
    record.m = m;
    record.n = n;
    return record;
}

using Binary = Matrix (*)(const Matrix&, const Matrix&);

TEST(MatrixArithmetic, Results) {
    const Matrix a23 = fromRows({{1, 2, 3}, {4, 5, 6}});
    const Matrix a32 = fromRows({{1, 4}, {2, 5}, {3, 6}});
    const Matrix p = fromRows({{1, 2}, {3, 4}});
    const Matrix q = fromRows({{5, 6}, {7, 8}});
    struct Case {
        const char* what;
        std::function<Matrix()> call;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {"transpose", [&] { return TransposeMatrix(a23); }, {{1, 4}, {2, 5}, {3, 6}}},
        {"scale by zero", [&] { return ScaleMatrix(p, 0.0); }, {{0, 0}, {0, 0}}},
        {"scale by minus one", [&] { return ScaleMatrix(p, -1.0); }, {{-1, -2}, {-3, -4}}},
        {"add", [&] { return AddMatrix(p, q); }, {{6, 8}, {10, 12}}},
        {"subtract is left minus right", [&] { return SubMatrix(p, q); }, {{-4, -4}, {-4, -4}}},
        {"subtract from itself", [&] { return SubMatrix(a23, a23); }, {{0, 0, 0}, {0, 0, 0}}},
        {"multiply 2x2", [&] { return MultiplyMatrix(p, q); }, {{19, 22}, {43, 50}}},
        {"multiply 2x3 by 3x2", [&] { return MultiplyMatrix(a23, a32); }, {{14, 32}, {32, 77}}},
        {"multiply 3x0 by 0x4 reads no array",
         [&] { return MultiplyMatrix(withoutArray(3, 0), withoutArray(0, 4)); },
         {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Matrix before23 = a23, beforeP = p, beforeQ = q;
        expectMatrix(c.call(), c.expected);
        EXPECT_EQ(a23, before23);
        EXPECT_EQ(p, beforeP);
        EXPECT_EQ(q, beforeQ);
    }
}

TEST(MatrixArithmetic, Errors) {
    const Matrix a23 = fromRows({{1, 2, 3}, {4, 5, 6}});
    const Matrix a32 = fromRows({{1, 2}, {3, 4}, {5, 6}});
    const Matrix a24 = fromRows({{1, 2, 3, 4}, {5, 6, 7, 8}});
    const Matrix p = fromRows({{1, 2}, {3, 4}});
    const Matrix huge = fromRows({{1, DBL_MAX}});
    const Matrix inf = fromRows({{std::numeric_limits<double>::infinity()}});
    const Matrix longRow = CreateMatrix(1, 32767);
    struct Case {
        const char* what;
        std::function<void()> call;
        ExpectedError error;
    };
    const ExpectedError addSize = matrixError("AddMatrix", "Cannot add matrices of different dimentions!");
    const ExpectedError subSize = matrixError("SubMatrix", "Cannot subtract matrices of different dimentions!");
    const ExpectedError mulSize = matrixError("MultiplyMatrix", "Matrices not compatable for multiplication!");
    const std::vector<Case> cases = {
        {"add 2x3 and 3x2", [&] { AddMatrix(a23, a32); }, addSize},
        {"add 2x3 and 2x4", [&] { AddMatrix(a23, a24); }, addSize},
        {"subtract 2x3 and 3x2", [&] { SubMatrix(a23, a32); }, subSize},
        {"multiply 2x3 by 2x3", [&] { MultiplyMatrix(a23, a23); }, mulSize},
        {"add two empty records", [&] { AddMatrix(Matrix{}, Matrix{}); }, kZeroSize},
        {"subtract two empty records", [&] { SubMatrix(Matrix{}, Matrix{}); }, kZeroSize},
        {"multiply with no rows", [&] { MultiplyMatrix(withoutArray(0, 2), p); }, kZeroSize},
        {"add with an absent array", [&] { AddMatrix(p, withoutArray(2, 2)); }, kSubscript},
        {"multiply an array smaller than its counts", [&] { MultiplyMatrix(withoutArray(2, 2), p); }, kSubscript},
        {"transpose an empty record", [&] { TransposeMatrix(Matrix{}); }, kSubscript},
        {"transpose with negative rows", [&] { TransposeMatrix(withoutArray(-1, 2)); }, kSubscript},
        {"scale 1E308 by 10", [&] { ScaleMatrix(fromRows({{1E308}}), 10.0); }, kOverflow},
        {"add overflows", [&] { AddMatrix(huge, huge); }, kOverflow},
        {"infinity minus infinity", [&] { SubMatrix(inf, inf); }, kOverflow},
        {"zero times infinity in a product", [&] { MultiplyMatrix(fromRows({{0.0}}), inf); }, kOverflow},
        {"transpose loop reaching 32767", [&] { TransposeMatrix(longRow); }, kOverflow},
        {"scale loop reaching 32767", [&] { ScaleMatrix(longRow, 2.0); }, kOverflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectError(c.call, c.error);
    }
}

TEST(MatrixArithmetic, NonFiniteValuesPassThroughWhereNoFlagIsRaised) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Matrix values = fromRows({{inf, -0.0, nan}});
    const Matrix transposed = TransposeMatrix(values);
    EXPECT_TRUE(sameBits(transposed.Element.get(1, 1), inf));
    EXPECT_TRUE(sameBits(transposed.Element.get(2, 1), -0.0));
    EXPECT_TRUE(sameBits(transposed.Element.get(3, 1), nan));
    const Matrix sum = AddMatrix(values, fromRows({{1, 1, 1}}));
    EXPECT_EQ(sum.Element.get(1, 1), inf);
    EXPECT_TRUE(std::isnan(sum.Element.get(1, 3)));
}

TEST(ScaleMatrix, KeepsTheInputBoundsAndScalesOnlyRowsAndColumnsOneToCounts) {
    Matrix record;
    record.m = 2;
    record.n = 2;
    record.Element = ElementArray::withBounds(0, 3, 0, 3);
    for (std::int32_t i = 0; i <= 3; ++i)
        for (std::int32_t j = 0; j <= 3; ++j) record.Element.set(i, j, 1.0);
    const Matrix scaled = ScaleMatrix(record, 5.0);
    EXPECT_EQ(scaled.Element.rows().lowerBound, 0);
    EXPECT_EQ(scaled.Element.rows().count, 4u);
    for (std::int32_t i = 0; i <= 3; ++i)
        for (std::int32_t j = 0; j <= 3; ++j) {
            const bool inside = i >= 1 && i <= 2 && j >= 1 && j <= 2;
            EXPECT_EQ(scaled.Element.get(i, j), inside ? 5.0 : 1.0) << i << "," << j;
        }
    // An empty record comes back as it went in.
    EXPECT_EQ(ScaleMatrix(Matrix{}, 3.0), Matrix{});
}

TEST(MultiplyMatrix, SumsEachElementInAscendingOrder) {
    // 1E16 + 1 - 1E16 is 0 in double when summed left to right, 1 otherwise.
    const Matrix left = fromRows({{1E16, 1, -1E16}});
    const Matrix right = fromRows({{1}, {1}, {1}});
    EXPECT_EQ(MultiplyMatrix(left, right).Element.get(1, 1), 0.0);
    const Matrix reordered = fromRows({{1E16, -1E16, 1}});
    EXPECT_EQ(MultiplyMatrix(reordered, right).Element.get(1, 1), 1.0);
}

} // namespace
} // namespace numoria::matrix
