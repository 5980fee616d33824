// The floating-point environment a computation runs in, isolated from the
// caller's. Hosts change the control state (unmask exceptions, pick another
// rounding mode, lower the x87 precision); the library's results and errors
// must not depend on that, and a host with unmasked exceptions must never
// take a floating-point trap inside the library.
//
// A DefaultFloatingPointEnvironment saves the caller's complete state (SSE
// control and status, x87 environment), switches to the default state
// (every exception masked, round to nearest, no flush to zero, x87 at double
// precision) with clear status flags, and restores the caller's state
// exactly, status flags included, when it goes out of scope.
#pragma once

#include <cstdint>

namespace numoria::fp {

// The default SSE control and status: all exceptions masked, round to
// nearest, denormals kept, no flag set.
inline constexpr std::uint32_t kDefaultSseState = 0x1F80;
// The default x87 control word: all exceptions masked, round to nearest,
// 53-bit precision (the precision of a double).
inline constexpr std::uint16_t kDefaultX87Control = 0x027F;

class DefaultFloatingPointEnvironment {
public:
    DefaultFloatingPointEnvironment() noexcept;
    ~DefaultFloatingPointEnvironment();
    DefaultFloatingPointEnvironment(const DefaultFloatingPointEnvironment&) = delete;
    DefaultFloatingPointEnvironment& operator=(const DefaultFloatingPointEnvironment&) = delete;

private:
    std::uint32_t savedSse_ = 0;
    // The x87 environment as fnstenv stores it (28 bytes in 32-bit form).
    alignas(4) unsigned char savedX87_[28] = {};
};

// The current SSE control and status register and x87 control word, for
// tests and diagnostics.
std::uint32_t sseState() noexcept;
std::uint16_t x87Control() noexcept;

} // namespace numoria::fp
