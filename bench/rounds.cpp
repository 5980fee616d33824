#include "rounds.h"

#include <algorithm>
#include <chrono>

namespace numoria::bench {

namespace {

double secondsFor(const Contender& contender, long calls) {
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i) contender.call();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

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

std::vector<std::vector<double>> timeInRounds(const std::vector<Contender>& contenders, int rounds,
                                              double batchSeconds) {
    std::vector<long> batches;
    for (const Contender& contender : contenders) batches.push_back(batchSize(contender, batchSeconds));
    std::vector<std::vector<double>> seconds(contenders.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            const std::size_t which = (turn + static_cast<std::size_t>(round)) % contenders.size();
            seconds[which].push_back(secondsFor(contenders[which], batches[which]) / batches[which]);
        }
    }
    return seconds;
}

} // namespace numoria::bench
