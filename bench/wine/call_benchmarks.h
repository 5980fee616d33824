// The calls that are timed by each route.
#pragma once

namespace numoria_bench {

// DecimalToHex, HexToDecimal (clsVxNumsConversionsA), Factorial and
// Combination (clsVxNumsPerComA).
void registerScalarCallBenchmarks();

// Determinant of a 3 x 3 record, MultiplyMatrix of 3 x 3 and 8 x 8 records
// (clsVxNumsMatrixA).
void registerMatrixCallBenchmarks();

// GetTypeInfo, and Combination called with named arguments.
void registerTypeInfoCallBenchmarks();

} // namespace numoria_bench
