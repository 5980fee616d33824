#include <gtest/gtest.h>

#include "matrix/element_array.h"
#include "matrix/matrix.h"
#include "matrix_test_support.h"

namespace numoria::matrix {
namespace {

using testing::expectError;
using testing::runtimeError;

TEST(ElementArray, BoundsAreCheckedOnEveryAccess) {
    ElementArray array = ElementArray::withBounds(0, 3, -2, 1);
    struct Case {
        std::int32_t row, column;
        bool inside;
    };
    const std::vector<Case> cases = {
        {0, -2, true}, {3, 1, true}, {2, 0, true}, {-1, 0, false}, {4, 0, false}, {0, -3, false}, {0, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.row << "," << c.column);
        if (c.inside) {
            array.set(c.row, c.column, 7.5);
            EXPECT_EQ(array.get(c.row, c.column), 7.5);
        } else {
            expectError([&] { array.get(c.row, c.column); }, runtimeError(ErrorNumber::SubscriptOutOfRange));
            expectError([&] { array.set(c.row, c.column, 1.0); }, runtimeError(ErrorNumber::SubscriptOutOfRange));
        }
    }
}

TEST(ElementArray, AbsentArrayAndInvertedBounds) {
    const ElementArray absent;
    EXPECT_FALSE(absent.present());
    expectError([&] { absent.get(1, 1); }, runtimeError(ErrorNumber::SubscriptOutOfRange));
    expectError([] { ElementArray::withBounds(1, 0, 1, 3); }, runtimeError(ErrorNumber::SubscriptOutOfRange));
    expectError([] { ElementArray::withBounds(1, 3, 1, -2); }, runtimeError(ErrorNumber::SubscriptOutOfRange));
    expectError([] { ElementArray::withBounds(1, 1 << 30, 1, 1 << 30); }, runtimeError(ErrorNumber::OutOfMemory));
}

TEST(ElementArray, FirstSubscriptVariesFastestInStorage) {
    ElementArray array = ElementArray::withBounds(1, 2, 1, 3);
    for (std::int32_t i = 1; i <= 2; ++i)
        for (std::int32_t j = 1; j <= 3; ++j) array.set(i, j, 10.0 * i + j);
    const std::vector<double> storage(array.data(), array.data() + array.size());
    EXPECT_EQ(storage, (std::vector<double>{11, 21, 12, 22, 13, 23}));
}

TEST(MatrixRecord, CopiesAreDeep) {
    Matrix original = testing::fromRows({{1, 2}, {3, 4}});
    Matrix copy = original;
    copy.Element.set(1, 1, 99.0);
    EXPECT_EQ(original.Element.get(1, 1), 1.0);
    EXPECT_NE(original.Element.data(), copy.Element.data());
}

} // namespace
} // namespace numoria::matrix
