#include <gtest/gtest.h>

#include "matrix_test_support.h"

namespace numoria::matrix {
namespace {

using namespace testing;

Matrix filled(std::int16_t m, std::int16_t n, double value) {
    Matrix record = CreateMatrix(m, n);
    for (std::int32_t i = 1; i <= m; ++i)
        for (std::int32_t j = 1; j <= n; ++j) record.Element.set(i, j, value);
    return record;
}

const Matrix k23 = fromRows({{1, 2, 3}, {4, 5, 6}});
const Matrix k32 = fromRows({{1, 2}, {3, 4}, {5, 6}});
const Matrix k33 = fromRows({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
const Matrix k22 = fromRows({{1, 2}, {3, 4}});

TEST(BlockOperations, Results) {
    struct Case {
        const char* what;
        std::function<Matrix()> call;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {"swap rows", [] { return SwapRow(k23, 1, 2); }, {{4, 5, 6}, {1, 2, 3}}},
        {"swap a row with itself", [] { return SwapRow(k23, 2, 2); }, {{1, 2, 3}, {4, 5, 6}}},
        {"swap outer columns", [] { return SwapCol(k23, 1, 3); }, {{3, 2, 1}, {6, 5, 4}}},
        {"swap rows of 3x2", [] { return SwapRow(k32, 1, 3); }, {{5, 6}, {3, 4}, {1, 2}}},
        {"swap columns of 3x2", [] { return SwapCol(k32, 1, 2); }, {{2, 1}, {4, 3}, {6, 5}}},
        {"minor without (2, 2)", [] { return SubMat(k33, 2, 2); }, {{1, 3}, {7, 9}}},
        {"minor without (3, 1)", [] { return SubMat(k33, 3, 1); }, {{2, 3}, {5, 6}}},
        {"minor without (1, 3)", [] { return SubMat(k33, 1, 3); }, {{4, 5}, {7, 8}}},
        {"positions outside leave out the last row and column", [] { return SubMat(k33, 0, 9); }, {{1, 2}, {4, 5}}},
        {"insert a block",
         [] { return InsertMatrix(filled(4, 4, 0), k22, 2, 3); },
         {{0, 0, 0, 0}, {0, 0, 1, 2}, {0, 0, 3, 4}, {0, 0, 0, 0}}},
        {"combine a block",
         [] { return CombineMatrix(filled(3, 3, 1), k22, 1, 1); },
         {{2, 3, 1}, {4, 5, 1}, {1, 1, 1}}},
        {"insert an equal-sized block copies all of it",
         [] { return InsertMatrix(filled(2, 2, 0), k22, 1, 1); },
         {{1, 2}, {3, 4}}},
        {"combine an equal-sized block adds all of it", [] { return CombineMatrix(k22, k22, 1, 1); }, {{2, 4}, {6, 8}}},
        {"insert a larger source copies what the destination holds",
         [] { return InsertMatrix(filled(2, 2, 0), k33, 1, 1); },
         {{1, 2}, {4, 5}}},
        {"insert a wider, shorter source",
         [] { return InsertMatrix(filled(3, 2, 0), k23, 1, 1); },
         {{1, 2}, {4, 5}, {0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Matrix before22 = k22, before33 = k33;
        expectMatrix(c.call(), c.expected);
        EXPECT_EQ(k22, before22);
        EXPECT_EQ(k33, before33);
    }
}

TEST(BlockOperations, RecordsWithoutRowsOrColumnsComeBackUnchanged) {
    Matrix noColumns;
    noColumns.m = 2;
    EXPECT_EQ(SwapRow(noColumns, 7, -3), noColumns);
    Matrix noRows;
    noRows.n = 2;
    EXPECT_EQ(SwapCol(noRows, 7, -3), noRows);
}

TEST(BlockOperations, CopiesKeepTheDestinationBounds) {
    Matrix destination;
    destination.m = destination.n = 2;
    destination.Element = ElementArray::withBounds(0, 2, 0, 2);
    const Matrix result = InsertMatrix(destination, fromRows({{5}}), 2, 2);
    EXPECT_EQ(result.Element.rows().lowerBound, 0);
    EXPECT_EQ(result.Element.get(2, 2), 5.0);
    EXPECT_EQ(SwapRow(destination, 0, 2).Element.columns().count, 3u);
}

TEST(BlockOperations, Errors) {
    const ExpectedError subscript = runtimeError(ErrorNumber::SubscriptOutOfRange);
    const ExpectedError overflow = runtimeError(ErrorNumber::Overflow);
    const ExpectedError zeroSize = matrixError("CreateMatrix", "Cannot create matrix with dimention = 0!");
    Matrix extreme;
    extreme.m = 32767;
    extreme.n = 1;
    Matrix lowest;
    lowest.m = -32768;
    lowest.n = 3;
    struct Case {
        const char* what;
        std::function<void()> call;
        ExpectedError error;
    };
    const std::vector<Case> cases = {
        {"swap with a row that does not exist", [] { SwapRow(k23, 1, 3); }, subscript},
        {"swap with column 0", [] { SwapCol(k23, 0, 1); }, subscript},
        {"minor of a 1x3 record",
         [] {
             SubMat(fromRows({{1, 2, 3}}), 1, 1);
         },
         zeroSize},
        {"minor of an empty record", [] { SubMat(Matrix{}, 1, 1); }, subscript},
        {"minor of a record with -32768 rows", [&] { SubMat(lowest, 1, 1); }, overflow},
        {"insert past the last row", [] { InsertMatrix(filled(4, 4, 0), k22, 4, 3); }, subscript},
        {"insert at row 0", [] { InsertMatrix(filled(4, 4, 0), k22, 0, 3); }, subscript},
        {"insert at -32768", [] { InsertMatrix(filled(4, 4, 0), k22, -32768, 1); }, overflow},
        {"count difference outside 16 bits", [&] { InsertMatrix(lowest, extreme, 1, 1); }, overflow},
        {"combine overflows", [] { CombineMatrix(fromRows({{1E308}}), fromRows({{1E308}}), 1, 1); }, overflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectError(c.call, c.error);
    }
}

} // namespace
} // namespace numoria::matrix
