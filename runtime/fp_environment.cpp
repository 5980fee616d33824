#include "runtime/fp_environment.h"

#include <immintrin.h>

namespace numoria::fp {

DefaultFloatingPointEnvironment::DefaultFloatingPointEnvironment() noexcept {
    savedSse_ = _mm_getcsr();
    // fnstenv also masks every x87 exception, so nothing can trap between
    // here and the load of the default control word.
    asm volatile("fnstenv %0" : "=m"(savedX87_));
    asm volatile("fnclex");
    const std::uint16_t control = kDefaultX87Control;
    asm volatile("fldcw %0" : : "m"(control));
    _mm_setcsr(kDefaultSseState);
}

DefaultFloatingPointEnvironment::~DefaultFloatingPointEnvironment() {
    // Restoring the caller's flags as they were discards the library's own,
    // so an unmasked exception of the caller cannot fire on the way out.
    _mm_setcsr(savedSse_);
    asm volatile("fldenv %0" : : "m"(savedX87_));
}

std::uint32_t sseState() noexcept { return _mm_getcsr(); }

std::uint16_t x87Control() noexcept {
    std::uint16_t control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    return control;
}

} // namespace numoria::fp
