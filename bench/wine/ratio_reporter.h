// The console report of Google Benchmark, followed by the ratios between
// the routes of each call: the library's Invoke against the platform's
// DispInvoke and against the early-bound call. Each ratio compares the
// median CPU times per call of the routes' runs (the thread's own time,
// which other processes on a shared machine disturb less than the wall
// clock); the ratio of the median real times follows it.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace numoria_bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Route {
        // One entry per repetition, or the one median Google Benchmark
        // computed when only aggregates are reported.
        std::vector<double> cpuSecondsPerCall;
        std::vector<double> realSecondsPerCall;
        std::vector<double> medianCpuSecondsPerCall;
        std::vector<double> medianRealSecondsPerCall;
        std::string error;

        double cpu() const;
        double real() const;
    };
    // call name -> route name -> what its runs measured
    std::map<std::string, std::map<std::string, Route>> calls_;
    // call name -> the registration index of its first route, so that the
    // ratios come in the order the calls were registered even when the runs
    // were interleaved
    std::map<std::string, std::int64_t> firstFamily_;

    void printRatio(const std::string& call, const std::string& numerator, const std::string& denominator,
                    const char* target) const;
};

} // namespace numoria_bench
