// The floating-point status test that follows every arithmetic step that
// stores a result: overflow or an invalid operation raises overflow (6), a
// division by zero raises division by zero (11). Underflow and inexact
// results are no error. The test reads the hardware's sticky flags, so a value
// that is already infinite or not-a-number passes through wherever the
// arithmetic itself raises no flag (infinity plus one, a quiet NaN times two).
#pragma once

#include <cfenv>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace numoria::fp {

#if defined(__SSE2__)
// Doubles are computed in the SSE unit (both builds use it), whose status
// register is cheap to read; only its error flags matter, so the flags for
// inexact, underflow and denormal results are never cleared or looked at.
inline constexpr unsigned kErrorFlags = _MM_EXCEPT_INVALID | _MM_EXCEPT_DIV_ZERO | _MM_EXCEPT_OVERFLOW;
inline unsigned errorFlags() { return _mm_getcsr() & kErrorFlags; }
inline void clearStatus() { _mm_setcsr(_mm_getcsr() & ~kErrorFlags); }
// Sets the given flags (as errorFlags() returned them) in this thread's status.
inline void raiseFlags(unsigned flags) { _mm_setcsr(_mm_getcsr() | (flags & kErrorFlags)); }
#else
inline unsigned errorFlags() {
    return static_cast<unsigned>(std::fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO));
}
inline void clearStatus() { std::feclearexcept(FE_ALL_EXCEPT); }
inline void raiseFlags(unsigned flags) { std::feraiseexcept(static_cast<int>(flags)); }
#endif

// Whether a flag that the status test turns into an error is set. Fast
// paths test this once per block and rerun the exact path to report it.
inline bool errorFlagRaised() { return errorFlags() != 0; }

// Raises the runtime error for the error flags that are set (and clears them).
[[noreturn]] void raiseForFlags();

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

// errorFlagRaised() for arithmetic whose results were stored, `written`
// being where: the compiler may neither keep those stores from happening
// (and with them the arithmetic, whose flags count even where a value is
// never read again) nor move them past the test.
inline bool errorFlagRaisedAfterWriting(const void* written) {
#if defined(__GNUC__)
    asm volatile("" : : "r"(written) : "memory");
#else
    static_cast<void>(written);
#endif
    return errorFlagRaised();
}

// Computes `step()` and tests the status afterwards, with error flags left
// over from earlier work cleared first:
//     sum = fp::checked([&] { return a * b + sum; });
template <typename Step>
double checked(Step step) {
    if (errorFlagRaised()) clearStatus();
    double value = step();
    settle(value);
    if (errorFlagRaised()) raiseForFlags();
    return value;
}

} // namespace numoria::fp
