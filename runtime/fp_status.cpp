#include "runtime/fp_status.h"

#include "runtime/runtime_error.h"

namespace numoria::fp {

void raiseForFlags() {
#if defined(__SSE2__)
    const bool divisionByZero = (errorFlags() & _MM_EXCEPT_DIV_ZERO) != 0;
#else
    const bool divisionByZero = std::fetestexcept(FE_DIVBYZERO) != 0;
#endif
    clearStatus();
    raiseRuntimeError(divisionByZero ? ErrorNumber::DivisionByZero : ErrorNumber::Overflow);
}

} // namespace numoria::fp
