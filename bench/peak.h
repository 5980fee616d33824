// The multiply-plus-add peak of one core, measured in registers only: many
// independent accumulators, each step a separate multiply and add (as the
// library's kernels do), no loads or stores inside the loop.
#pragma once

#include <cstdint>

namespace numoria::bench {

// Multiply-add pairs done by `steps` passes over the accumulators; each
// function runs only where the CPU has its instruction set.
std::int64_t peakPairs256(std::int64_t steps);
std::int64_t peakPairs512(std::int64_t steps);

// The best rate of both, in pairs per second of one core's processor time,
// over a few timed runs.
double measuredPeakPairsPerSecond();

} // namespace numoria::bench
