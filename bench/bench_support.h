// Helpers of the Google Benchmark programs.
#pragma once

#include <benchmark/benchmark.h>

#include "operands.h"

namespace numoria::bench {

// Reports work per second, `perIteration` units a pass.
inline void reportRate(benchmark::State& state, const char* name, double perIteration) {
    state.counters[name] =
        benchmark::Counter(perIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace numoria::bench
