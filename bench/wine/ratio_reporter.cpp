#include "ratio_reporter.h"

#include <algorithm>
#include <cstdio>

#include "route_benchmarks.h"

namespace numoria_bench {

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

double RatioReporter::Route::cpu() const {
    return median(cpuSecondsPerCall.empty() ? medianCpuSecondsPerCall : cpuSecondsPerCall);
}

double RatioReporter::Route::real() const {
    return median(realSecondsPerCall.empty() ? medianRealSecondsPerCall : realSecondsPerCall);
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const bool repetition = run.run_type == Run::RT_Iteration;
        if (!repetition && run.aggregate_name != "median") continue;
        // Benchmarks are named "<call>/<route>".
        const std::string& name = run.run_name.function_name;
        const std::size_t slash = name.rfind('/');
        if (slash == std::string::npos) continue;
        const std::string call = name.substr(0, slash);
        const auto known = firstFamily_.find(call);
        if (known == firstFamily_.end() || run.family_index < known->second) firstFamily_[call] = run.family_index;
        Route& route = calls_[call][name.substr(slash + 1)];
        if (run.error_occurred) {
            route.error = run.error_message;
        } else if (run.iterations > 0) {
            // An aggregate's accumulated times are the statistic of the
            // repetitions' accumulated times, over the same iteration count.
            const double calls = static_cast<double>(run.iterations);
            (repetition ? route.cpuSecondsPerCall : route.medianCpuSecondsPerCall)
                .push_back(run.cpu_accumulated_time / calls);
            (repetition ? route.realSecondsPerCall : route.medianRealSecondsPerCall)
                .push_back(run.real_accumulated_time / calls);
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::printRatio(const std::string& call, const std::string& numerator, const std::string& denominator,
                               const char* target) const {
    const auto routes = calls_.find(call);
    if (routes == calls_.end()) return;
    const auto top = routes->second.find(numerator);
    const auto bottom = routes->second.find(denominator);
    if (top == routes->second.end() || bottom == routes->second.end()) return;
    std::printf("  %-22s %-10s / %-10s  ", call.c_str(), numerator.c_str(), denominator.c_str());
    for (const Route* route : {&top->second, &bottom->second}) {
        if (route->cpuSecondsPerCall.empty() && route->medianCpuSecondsPerCall.empty()) {
            std::printf("not measured: %s\n", route->error.empty() ? "no runs" : route->error.c_str());
            return;
        }
    }
    const double up = top->second.cpu();
    const double down = bottom->second.cpu();
    const double realRatio = top->second.real() / bottom->second.real();
    std::printf("%5.2f  (%5.0f / %5.0f ns CPU; real time %5.2f)%s%s\n", up / down, up * 1e9, down * 1e9, realRatio,
                *target ? "  target " : "", target);
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::vector<std::string> order;
    for (const auto& [call, family] : firstFamily_) order.push_back(call);
    std::sort(order.begin(), order.end(),
              [this](const std::string& a, const std::string& b) { return firstFamily_.at(a) < firstFamily_.at(b); });
    std::printf("\nRatios of the median time per call:\n");
    std::printf("library Invoke against the platform's DispInvoke (target <= 1)\n");
    for (const std::string& call : order) printRatio(call, kInvokeRoute, kDispInvokeRoute, "<= 1");
    std::printf("late-bound (library Invoke) against early-bound (target <= 3 for Determinant 3x3)\n");
    for (const std::string& call : order)
        printRatio(call, kInvokeRoute, kEarlyRoute, call == "Determinant/3x3" ? "<= 3" : "");
    std::fflush(stdout);
}

} // namespace numoria_bench
