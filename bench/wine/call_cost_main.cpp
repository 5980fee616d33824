// Times one call of library members by each route, on one
// apartment-threaded COM thread as a host calls the library, then prints
// the ratios between the routes. Arguments go to Google Benchmark.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench_session.h"
#include "call_benchmarks.h"
#include "ratio_reporter.h"

namespace {

// The registered benchmarks hold the library's objects: they are dropped
// while the apartment is still open, on every way out.
struct RegisteredBenchmarks {
    RegisteredBenchmarks() = default;
    RegisteredBenchmarks(const RegisteredBenchmarks&) = delete;
    RegisteredBenchmarks& operator=(const RegisteredBenchmarks&) = delete;
    ~RegisteredBenchmarks() { benchmark::ClearRegisteredBenchmarks(); }
};

void runBenchmarks() {
    numoria_bench::ComApartment apartment;
    RegisteredBenchmarks registered;
    numoria_bench::registerScalarCallBenchmarks();
    numoria_bench::registerMatrixCallBenchmarks();
    numoria_bench::registerTypeInfoCallBenchmarks();
    numoria_bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    try {
        runBenchmarks();
    } catch (const numoria_bench::BenchSetupError& error) {
        std::fprintf(stderr, "set-up failed: %s\n", error.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
