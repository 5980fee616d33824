#include "runtime/fp_status.h"

#include "runtime/runtime_error.h"

namespace numoria::fp {

void raiseOnStatus() {
    const int flags = std::fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
    if (flags == 0) return;
    clearStatus();
    if (flags & FE_DIVBYZERO) raiseRuntimeError(ErrorNumber::DivisionByZero);
    raiseRuntimeError(ErrorNumber::Overflow);
}

} // namespace numoria::fp
