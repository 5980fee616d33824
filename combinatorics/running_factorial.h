// The factorial as a running product 1 × 1 × 2 × … × k, the building block of
// every combinatorics method.
#pragma once

#include <cstdint>

namespace numoria::combinatorics {

// k! as the running double product in ascending order; 1 for k below 1.
// Fails with overflow (6) once the product leaves the double range (171!).
double runningFactorial(std::int16_t k);

} // namespace numoria::combinatorics
