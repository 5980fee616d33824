#include <gtest/gtest.h>

#include <cmath>

#include "matrix_test_support.h"

namespace numoria::matrix {
namespace {

using namespace testing;

TEST(InvertMatrix, Results) {
    struct Case {
        const char* what;
        Matrix input;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {"1x1", fromRows({{4}}), {{0.25}}},
        {"2x2 closed form", fromRows({{3, 1}, {2, 2}}), {{0.5, -0.25}, {-0.5, 0.75}}},
        {"3x3 adjugate", fromRows({{1, 2, 0}, {0, 1, 0}, {0, 0, 2}}), {{1, -2, 0}, {0, 1, 0}, {0, 0, 0.5}}},
        {"4x4 with minors taken as 0 by the zero-pivot rule",
         fromRows({{-1, 0, -1, 0}, {2, 1, 1, 0}, {1, 0, 0, -1}, {0, 0, 2, 1}}),
         {{-2, 0, 0, 0}, {3, 1, 1, 1}, {1, 0, 1, 1}, {-2, 0, -2, -1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Matrix before = c.input;
        expectMatrix(InvertMatrix(c.input), c.expected);
        EXPECT_EQ(c.input, before);
    }
}

TEST(InvertMatrix, ZeroCofactorsCarryTheSignOfTheirPosition) {
    // A zero minor determinant times the sign -1 is a negative zero, and it
    // stays one through the transposition and the scaling by 1/2.
    const Matrix inverse = InvertMatrix(fromRows({{1, 2, 0}, {0, 1, 0}, {0, 0, 2}}));
    const Rows negativeZero = {{0, 1, 0}, {1, 0, 1}, {0, 1, 0}}; // 1 where (i + j) is odd
    for (std::int32_t i = 1; i <= 3; ++i) {
        for (std::int32_t j = 1; j <= 3; ++j) {
            const double value = inverse.Element.get(i, j);
            if (value != 0.0) continue;
            EXPECT_EQ(std::signbit(value), negativeZero[i - 1][j - 1] == 1) << i << "," << j;
        }
    }
}

TEST(InvertMatrix, Errors) {
    const ExpectedError singular = matrixError("InvertMatrix", "Cannot invert matrix with Determinant = 0!");
    Matrix negative;
    negative.m = negative.n = -2;
    Matrix absent;
    absent.m = absent.n = 3;
    struct Case {
        const char* what;
        Matrix input;
        ExpectedError error;
    };
    const std::vector<Case> cases = {
        {"1x1 zero divides by zero", fromRows({{0}}), runtimeError(ErrorNumber::DivisionByZero)},
        {"singular 2x2", fromRows({{1, 2}, {2, 4}}), singular},
        {"regular matrix whose determinant is taken as 0", fromRows({{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}), singular},
        {"non-square", fromRows({{1, 2, 3}, {4, 5, 6}}),
         matrixError("InvertMatrix", "Cannot invert a non-square matrix!")},
        {"empty record", Matrix{}, matrixError("Determinant", "Matrix too small to calculate Determinant! ")},
        {"equal negative counts", negative, runtimeError(ErrorNumber::SubscriptOutOfRange)},
        {"absent array", absent, runtimeError(ErrorNumber::SubscriptOutOfRange)},
        {"reciprocal of a tiny determinant overflows", fromRows({{1E-155, 0}, {0, 1E-155}}),
         runtimeError(ErrorNumber::Overflow)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Matrix before = c.input;
        expectError([&] { InvertMatrix(c.input); }, c.error);
        EXPECT_EQ(c.input, before);
    }
}

} // namespace
} // namespace numoria::matrix
