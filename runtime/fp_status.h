// The floating-point status test that follows every arithmetic step that
// stores a result: overflow or an invalid operation raises overflow (6), a
// division by zero raises division by zero (11). Underflow and inexact
// results are no error. The test reads the hardware's sticky flags, so a value
// that is already infinite or not-a-number passes through wherever the
// arithmetic itself raises no flag (infinity plus one, a quiet NaN times two).
#pragma once

#include <cfenv>

namespace numoria::fp {

// Clears the flags the status test looks at.
inline void clearStatus() { std::feclearexcept(FE_ALL_EXCEPT); }

// Raises the runtime error for the flags that are set, if any.
void raiseOnStatus();

// Keeps the compiler from moving the computation of `value` past this point,
// so that the flags are read after the value has been computed.
inline void settle(double& value) {
#if defined(__GNUC__)
    asm volatile("" : "+m"(value));
#else
    volatile double sink = value;
    value = sink;
#endif
}

// Computes `step()` with fresh flags and tests the status afterwards:
//     sum = fp::checked([&] { return a * b + sum; });
template <typename Step>
double checked(Step step) {
    clearStatus();
    double value = step();
    settle(value);
    raiseOnStatus();
    return value;
}

} // namespace numoria::fp
