#include "rounds.h"

#include <algorithm>
#include <chrono>

#include "cpu_seconds.h"

namespace numoria::bench {

namespace {

struct Took {
    double wall, processor;
};

Took timeCalls(const Contender& contender, long calls) {
    const double processorStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i) contender.call();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {took.count(), cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processorStart};
}

double secondsFor(const Contender& contender, long calls) { return timeCalls(contender, calls).wall; }

// Calls per batch: one call warms caches and pages and says how long a call takes.
long batchSize(const Contender& contender, double batchSeconds) {
    const double once = secondsFor(contender, 1);
    if (once >= batchSeconds) return 1;
    const double again = secondsFor(contender, 1);
    return std::max(1L, static_cast<long>(batchSeconds / std::max(std::min(once, again), 1e-9)));
}

} // namespace

Spread spreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {values.front(), median, values.back()};
}

Timings timeInRounds(const std::vector<Contender>& contenders, int rounds, double batchSeconds) {
    std::vector<long> batches;
    for (const Contender& contender : contenders) batches.push_back(batchSize(contender, batchSeconds));
    Timings timings{std::vector<std::vector<double>>(contenders.size()),
                    std::vector<std::vector<double>>(contenders.size())};
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            const std::size_t which = (turn + static_cast<std::size_t>(round)) % contenders.size();
            const auto calls = static_cast<double>(batches[which]);
            const Took took = timeCalls(contenders[which], batches[which]);
            timings.wall[which].push_back(took.wall / calls);
            timings.processor[which].push_back(took.processor / calls);
        }
    }
    return timings;
}

} // namespace numoria::bench
