#include "combinatorics/combinatorics.h"

#include "combinatorics/running_factorial.h"
#include "runtime/fallback_on_error.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::combinatorics {

namespace {

bool outsideRange(std::int16_t n, std::int16_t r) { return n < 1 || r < 1 || r > n; }

} // namespace

double Combination(std::int16_t n, std::int16_t r) {
    return valueOrFallback(0.0, [&] {
        if (outsideRange(n, r)) return 0.0;
        if (r == n) return 1.0;
        const double nFactorial = runningFactorial(n);
        const double restFactorial = runningFactorial(subChecked(n, r));
        const double rFactorial = runningFactorial(r);
        // One product for the divisor, then one unrounded quotient: this is
        // why C(30, 15) comes out as 155117519.99999997.
        const double divisor = fp::checked([&] { return rFactorial * restFactorial; });
        return fp::checked([&] { return nFactorial / divisor; });
    });
}

double Permutation(std::int16_t n, std::int16_t r) {
    return valueOrFallback(0.0, [&] {
        if (outsideRange(n, r)) return 0.0;
        // n! is formed even when r equals n, so P(171, 171) overflows to 0.
        const double nFactorial = runningFactorial(n);
        if (n == r) return nFactorial;
        const double restFactorial = runningFactorial(subChecked(n, r));
        return fp::checked([&] { return nFactorial / restFactorial; });
    });
}

double Factorial(std::int16_t n) {
    return valueOrFallback(0.0, [&] { return runningFactorial(n); });
}

} // namespace numoria::combinatorics
