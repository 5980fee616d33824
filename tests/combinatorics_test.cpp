#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "combinatorics/combinatorics.h"

namespace numoria::combinatorics {
namespace {

constexpr std::int16_t kMax16 = 32767;
constexpr std::int16_t kMin16 = -32768;

TEST(Combinatorics, MethodsGiveTheRunningProductResults) {
    const auto factorial = [](std::int16_t n, std::int16_t) { return Factorial(n); };
    struct Row {
        const char* method;
        std::function<double(std::int16_t, std::int16_t)> compute;
        std::int16_t n, r;
        double expected;
    };
    const std::vector<Row> rows = {
        {"Factorial", factorial, 0, 0, 1},
        {"Factorial", factorial, 12, 0, 479001600},
        {"Factorial", factorial, 13, 0, 6227020800.0},
        {"Factorial", factorial, 170, 0, 7.257415615307994E+306},
        {"Factorial", factorial, 171, 0, 0},
        {"Factorial", factorial, kMax16, 0, 0},
        {"Factorial", factorial, -1, 0, 1},
        {"Factorial", factorial, kMin16, 0, 1},
        {"Combination", Combination, 5, 2, 10},
        {"Combination", Combination, 52, 5, 2598960},
        {"Combination", Combination, 5, 5, 1},
        {"Combination", Combination, kMax16, kMax16, 1},
        {"Combination", Combination, 5, 0, 0},
        {"Combination", Combination, -5, 2, 0},
        {"Combination", Combination, 3, 5, 0},
        {"Combination", Combination, 170, 1, 170},
        {"Combination", Combination, 171, 1, 0},
        {"Combination", Combination, 30, 15, 155117519.99999997},
        {"Combination", Combination, 170, 2, 14364.999999999998},
        {"Combination", Combination, 23, 6, 100947}, // two divisions would give ...00001
        {"Permutation", Permutation, 5, 2, 20},
        {"Permutation", Permutation, 10, 3, 720},
        {"Permutation", Permutation, 5, 5, 120},
        {"Permutation", Permutation, 5, 0, 0},
        {"Permutation", Permutation, 3, 5, 0},
        {"Permutation", Permutation, 170, 170, 7.257415615307994E+306},
        {"Permutation", Permutation, 171, 171, 0},
        {"Permutation", Permutation, 171, 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.method << "(" << row.n << ", " << row.r << ")");
        // Exact comparison: the documented results are bit patterns, not
        // approximations of the whole-number answers.
        EXPECT_EQ(row.compute(row.n, row.r), row.expected);
    }
}

} // namespace
} // namespace numoria::combinatorics
