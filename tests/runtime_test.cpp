#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <new>

#include "runtime/checked_int.h"
#include "runtime/fp_status.h"
#include "runtime/runtime_error.h"

namespace numoria {
namespace {

// 0 means "no error".
std::int32_t errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.source(), kRuntimeErrorSource);
        EXPECT_EQ(error.description(), standardDescription(error.number()));
        return error.number();
    }
    return 0;
}

TEST(RuntimeError, StandardDescriptions) {
    const std::vector<std::pair<std::int32_t, std::string>> cases = {
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {94, "Invalid use of Null"},
        {5, "Invalid procedure call or argument"},
        {1000, ""},
        {91, "Object variable or With block variable not set"},
        {429, "ActiveX component can't create object"},
        {438, "Object doesn't support this property or method"},
        {450, "Wrong number of arguments or invalid property assignment"},
    };
    for (const auto& [number, text] : cases) EXPECT_EQ(standardDescription(number), text) << number;
    // An allocation failure is the runtime's out of memory.
    try {
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
        const RuntimeError error = currentRuntimeError();
        EXPECT_EQ(error.number(), 7);
        EXPECT_EQ(error.source(), kRuntimeErrorSource);
        EXPECT_EQ(error.description(), "Out of memory");
    }
}

TEST(CheckedInt, SixteenBitStepsAndSums) {
    struct Case {
        const char* what;
        std::function<std::int32_t()> call;
        std::int32_t expected; // the value, or -error
    };
    auto guarded = [](std::function<std::int32_t()> f) {
        return [f]() -> std::int32_t {
            try {
                return f();
            } catch (const RuntimeError& error) {
                return -error.number();
            }
        };
    };
    const std::vector<Case> cases = {
        {"step below the top", guarded([] { return next16(32766); }), 32767},
        {"step past 32767", guarded([] { return next16(32767); }), -6},
        {"step from the bottom", guarded([] { return next16(-32768); }), -32767},
        {"sum at the top", guarded([] { return addChecked<std::int16_t>(32000, 767); }), 32767},
        {"sum past the top", guarded([] { return addChecked<std::int16_t>(32000, 768); }), -6},
        {"difference below the bottom", guarded([] { return subChecked<std::int16_t>(-32768, 1); }), -6},
        {"32-bit difference out of range", guarded([] { return subChecked<std::int32_t>(-2, 2147483647); }), -6},
        {"32-bit difference in range", guarded([] { return subChecked<std::int32_t>(-1, 2147483647); }),
         std::numeric_limits<std::int32_t>::min()},
        {"narrowing 40000 to 16 bits", guarded([] { return narrowChecked<std::int16_t>(40000); }), -6},
        {"narrowing an unsigned count", guarded([] { return narrowChecked<std::int16_t>(std::size_t{5}); }), 5},
        {"narrowing a large unsigned count", guarded([] { return narrowChecked<std::int16_t>(std::size_t{32768}); }),
         -6},
    };
    for (const Case& c : cases) EXPECT_EQ(c.call(), c.expected) << c.what;
}

TEST(CheckedInt, LoopRunningToTheTopFailsAfterItsLastPass) {
    int passes = 0;
    EXPECT_EQ(errorOf([&] {
                  for (std::int16_t i = 32765; i <= 32767; i = next16(i)) ++passes;
              }),
              6);
    EXPECT_EQ(passes, 3);
}

TEST(FpStatus, FlagsBecomeRuntimeErrors) {
    const double huge = DBL_MAX, tiny = DBL_MIN, zero = 0.0, one = 1.0;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        std::function<double()> step;
        std::int32_t error;
    };
    const std::vector<Case> cases = {
        {"overflow", [&] { return huge * 10.0; }, 6},
        {"infinity minus infinity", [&] { return inf - inf; }, 6},
        {"zero times infinity", [&] { return zero * inf; }, 6},
        {"zero divided by zero", [&] { return zero / zero; }, 6},
        {"division by zero", [&] { return one / zero; }, 11},
        {"underflow is no error", [&] { return tiny * tiny; }, 0},
        {"inexact is no error", [&] { return one / 3.0; }, 0},
        {"infinity passes through", [&] { return inf + one; }, 0},
        {"not-a-number passes through", [&] { return nan * 2.0; }, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorOf([&] { fp::checked(c.step); }), c.error) << c.what;
    }
}

TEST(FpStatus, StaleFlagsFromEarlierWorkDoNotCount) {
    volatile double huge = DBL_MAX;
    volatile double overflowed = huge * 10.0; // leaves the overflow flag set
    (void)overflowed;
    EXPECT_EQ(errorOf([&] { fp::checked([] { return 2.0 * 3.0; }); }), 0);
}

} // namespace
} // namespace numoria
