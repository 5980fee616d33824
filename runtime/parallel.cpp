#include "runtime/parallel.h"

#include <atomic>
#include <cstdlib>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "runtime/fp_environment.h"
#include "runtime/fp_status.h"

namespace numoria::parallel {

namespace {

std::atomic<int> overrideCount{0};
std::atomic<std::int64_t> overrideThreshold{kSmallestSplitWork};

int defaultThreadCount() {
    static const int count = [] {
        int cores = static_cast<int>(std::thread::hardware_concurrency());
        if (cores < 1) cores = 1;
        if (const char* cap = std::getenv("NUMORIA_THREADS")) {
            char* end = nullptr;
            const long value = std::strtol(cap, &end, 10);
            if (end != cap && *end == '\0' && value >= 1 && value < cores) cores = static_cast<int>(value);
        }
        return cores;
    }();
    return count;
}

struct PartResult {
    unsigned flags = 0;
    std::exception_ptr error;
};

void runOne(const std::function<void(int)>& part, int index, PartResult& result) {
    try {
        part(index);
    } catch (...) {
        result.error = std::current_exception();
    }
}

} // namespace

int partsFor(std::int64_t work) {
    const int forced = overrideCount.load(std::memory_order_relaxed);
    if (forced > 0) return work >= overrideThreshold.load(std::memory_order_relaxed) ? forced : 1;
    return work >= kSmallestSplitWork ? defaultThreadCount() : 1;
}

void setThreads(int count, std::int64_t smallestSplitWork) {
    overrideThreshold.store(count > 0 ? smallestSplitWork : kSmallestSplitWork, std::memory_order_relaxed);
    overrideCount.store(count > 0 ? count : 0, std::memory_order_relaxed);
}

void runParts(int count, const std::function<void(int)>& part) {
    std::vector<PartResult> results(static_cast<std::size_t>(count > 1 ? count : 1));
    std::vector<std::thread> threads;
    std::vector<int> leftOver;
    for (int index = 1; index < count; ++index) {
        PartResult& result = results[static_cast<std::size_t>(index)];
        try {
            threads.emplace_back([&part, index, &result] {
                const fp::DefaultFloatingPointEnvironment environment;
                runOne(part, index, result);
                result.flags = fp::errorFlags();
            });
        } catch (const std::system_error&) {
            leftOver.push_back(index);
        }
    }
    runOne(part, 0, results[0]);
    for (const int index : leftOver) runOne(part, index, results[static_cast<std::size_t>(index)]);
    for (std::thread& thread : threads) thread.join();
    unsigned flags = 0;
    for (const PartResult& result : results) {
        if (result.error) std::rethrow_exception(result.error);
        flags |= result.flags;
    }
    if (flags != 0) fp::raiseFlags(flags);
}

} // namespace numoria::parallel
