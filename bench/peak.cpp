#include "peak.h"

#include <algorithm>

#include "cpu_seconds.h"

namespace numoria::bench {

double measuredPeakPairsPerSecond() {
    __builtin_cpu_init();
    const bool has512 = __builtin_cpu_supports("avx512f");
    if (!__builtin_cpu_supports("avx2")) return 0.0;
    double best = 0.0;
    for (int run = 0; run < 5; ++run) {
        for (auto* kernel : {&peakPairs256, &peakPairs512}) {
            if (kernel == &peakPairs512 && !has512) continue;
            const double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            const std::int64_t pairs = kernel(20'000'000);
            best = std::max(best, static_cast<double>(pairs) / (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start));
        }
    }
    return best;
}

} // namespace numoria::bench
