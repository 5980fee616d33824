// Factorials, permutations and combinations of small whole numbers, built
// from running factorial products and returned as doubles. The methods never
// raise an error: whatever fails inside them (a product that leaves the
// double range, from 171! on) makes them return 0.
#pragma once

#include <cstdint>

namespace numoria::combinatorics {

// n! / (r! × (n − r)!), unrounded; 1 when r equals n, 0 when n or r is below 1
// or r is above n.
double Combination(std::int16_t n, std::int16_t r);

// n! / (n − r)!, unrounded; 0 when n or r is below 1 or r is above n.
double Permutation(std::int16_t n, std::int16_t r);

// n!; 1 for 0 and for every negative n (a product without factors).
double Factorial(std::int16_t n);

} // namespace numoria::combinatorics
