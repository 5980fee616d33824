#include <gtest/gtest.h>

#include <immintrin.h>

#include <bit>
#include <cstdint>

#include "runtime/fp_environment.h"
#include "runtime/fp_status.h"
#include "runtime/runtime_error.h"

namespace numoria {
namespace {

std::uint16_t currentX87Control() { return fp::x87Control(); }
void setX87Control(std::uint16_t control) { asm volatile("fldcw %0" : : "m"(control)); }

// The error number a computation raises, 0 for none.
template <class Body>
std::int32_t errorOf(Body body) {
    try {
        body();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

// A host's state is set before the environment is entered: inside, the
// computation sees the default state; afterwards, the host's state is back
// bit for bit, its own sticky flags included.
TEST(FloatingPointEnvironment, HostStateIsReplacedByTheDefaultAndRestored) {
    struct HostState {
        const char* label;
        std::uint32_t sse;
        std::uint16_t x87;
    };
    const HostState states[] = {
        {"default", 0x1F80, 0x037F},
        {"all exceptions unmasked", 0x0000, 0x0340},
        {"round down", 0x3F80, 0x077F},
        {"round up", 0x5F80, 0x0B7F},
        {"round toward zero, 24-bit x87", 0x7F80, 0x0C7F & 0xFCFF},
        {"flush to zero and denormals are zero", 0x9FC0, 0x037F},
        {"host flags already set", 0x1F80 | 0x003F, 0x037F},
        {"unmasked with host flags pending", 0x0000 | 0x0020, 0x0340},
    };
    const double third = [] {
        fp::DefaultFloatingPointEnvironment reference;
        volatile double one = 1.0, three = 3.0;
        return one / three;
    }();
    for (const HostState& state : states) {
        SCOPED_TRACE(state.label);
        const std::uint32_t savedSse = _mm_getcsr();
        const std::uint16_t savedX87 = currentX87Control();
        _mm_setcsr(state.sse);
        setX87Control(state.x87);
        std::uint32_t sseInside = 0;
        std::uint16_t x87Inside = 0;
        double quotient = 0;
        std::int32_t overflow = 0, division = 0;
        {
            fp::DefaultFloatingPointEnvironment environment;
            sseInside = fp::sseState();
            x87Inside = fp::x87Control();
            volatile double one = 1.0, three = 3.0, huge = 1e308, zero = 0.0;
            quotient = one / three;
            // With the host's unmasked exceptions these would trap.
            overflow = errorOf([&] { fp::checked([&] { return huge * huge; }); });
            division = errorOf([&] { fp::checked([&] { return one / zero; }); });
        }
        const std::uint32_t sseAfter = _mm_getcsr();
        const std::uint16_t x87After = currentX87Control();
        _mm_setcsr(savedSse);
        setX87Control(savedX87);

        EXPECT_EQ(sseInside, fp::kDefaultSseState);
        EXPECT_EQ(x87Inside, fp::kDefaultX87Control);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(quotient), std::bit_cast<std::uint64_t>(third));
        EXPECT_EQ(overflow, 6);
        EXPECT_EQ(division, 11);
        EXPECT_EQ(sseAfter, state.sse) << "the host's control and flags come back exactly";
        EXPECT_EQ(x87After, state.x87);
    }
}

} // namespace
} // namespace numoria
