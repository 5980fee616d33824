#include "combinatorics/running_factorial.h"

#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::combinatorics {

double runningFactorial(std::int16_t k) {
    // One double product throughout: while the product is a whole number
    // below 2^53 (up to 18!) every step is exact, so 0! to 12! come out as
    // the exact integers and each later factorial is the ascending double
    // product, bit for bit.
    double product = 1.0;
    for (std::int16_t factor = 1; factor <= k; factor = next16(factor)) {
        product = fp::checked([&] { return product * static_cast<double>(factor); });
    }
    return product;
}

} // namespace numoria::combinatorics
