#include <gtest/gtest.h>

#include "matrix_test_support.h"

namespace numoria::matrix {
namespace {

using namespace testing;

HostValues numbersFromOne(std::size_t count) {
    std::vector<HostValue> values;
    for (std::size_t k = 0; k < count; ++k) values.emplace_back(static_cast<double>(k + 1));
    return HostValues(std::move(values));
}

TEST(CreateMatrix, FillsRowByRow) {
    struct Case {
        const char* what;
        std::int16_t m, n;
        std::vector<HostValue> values;
        Rows expected;
        std::size_t convertedCount;
    };
    const std::vector<Case> cases = {
        {"exact fill", 2, 3, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0}, {{1, 2, 3}, {4, 5, 6}}, 6},
        {"short fill keeps zeros", 2, 3, {1.0, 2.0, 3.0, 4.0}, {{1, 2, 3}, {4, 0, 0}}, 4},
        {"surplus value is never converted", 2, 2, {1.0, 2.0, 3.0, 4.0, std::string("word")}, {{1, 2}, {3, 4}}, 4},
        {"no values", 3, 2, {}, {{0, 0}, {0, 0}, {0, 0}}, 0},
        {"single value", 1, 1, {7.0}, {{7}}, 1},
        {"coercions", 1, 4, {true, false, Empty{}, std::string("2.5")}, {{-1, 0, 0, 2.5}}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HostValues values(c.values);
        expectMatrix(CreateMatrix(c.m, c.n, values), c.expected);
        EXPECT_EQ(values.converted().size(), c.convertedCount);
    }
}

TEST(CreateMatrix, Errors) {
    const ExpectedError zeroSize = matrixError("CreateMatrix", "Cannot create matrix with dimention = 0!");
    struct Case {
        const char* what;
        std::int16_t m, n;
        std::vector<HostValue> values;
        ExpectedError error;
    };
    const std::vector<Case> cases = {
        {"no rows", 0, 5, {}, zeroSize},
        {"no columns", 5, 0, {1.0}, zeroSize},
        {"negative rows", -2, 3, {}, runtimeError(ErrorNumber::SubscriptOutOfRange)},
        {"text that is no number", 1, 2, {1.0, std::string("word")}, runtimeError(ErrorNumber::TypeMismatch)},
        {"Null", 2, 2, {1.0, 2.0, 3.0, Null{}}, runtimeError(ErrorNumber::InvalidUseOfNull)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HostValues values(c.values);
        expectError([&] { CreateMatrix(c.m, c.n, values); }, c.error);
    }
}

TEST(CreateMatrix, SixteenBitCountersOverflow) {
    struct Case {
        const char* what;
        std::int16_t m, n;
        std::size_t valueCount;
        bool overflows;
        std::size_t convertedCount;
    };
    const std::vector<Case> cases = {
        {"storing into column 32767", 1, 32767, 32767, true, 32767},
        {"no values: nothing to fill, no counter", 1, 32767, 0, false, 0},
        {"taking a 32768th value", 2, 16384, 32768, true, 32768},
        {"finishing row 32767 with values left", 32767, 1, 32768, true, 32767},
        {"finishing row 32767 with the last value", 32767, 1, 32767, false, 32767},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HostValues values = numbersFromOne(c.valueCount);
        if (c.overflows) {
            expectError([&] { CreateMatrix(c.m, c.n, values); }, runtimeError(ErrorNumber::Overflow));
        } else {
            const Matrix result = CreateMatrix(c.m, c.n, values);
            EXPECT_EQ(result.Element.get(c.m, c.n), static_cast<double>(c.valueCount == 0 ? 0 : c.valueCount));
        }
        EXPECT_EQ(values.converted().size(), c.convertedCount);
    }
}

TEST(PrintMatrix, ReadsNothing) {
    Matrix noArray;
    noArray.m = 2;
    noArray.n = 2;
    EXPECT_NO_THROW(PrintMatrix(Matrix{}));
    EXPECT_NO_THROW(PrintMatrix(noArray));
}

} // namespace
} // namespace numoria::matrix
