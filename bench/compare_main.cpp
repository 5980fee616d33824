// The library's products, determinants and inversions against OpenBLAS (and,
// where it takes seconds rather than minutes, against the library's exact
// path), interleaved round by round in one process. Prints each contender's
// time per call as min / median / max over the rounds, the products' rate in
// G multiply-add pairs per second (wall clock) and the fraction of the
// measured one-core peak they reach per second of processor time (all
// threads counted, so load from other processes inflates it far less),
// and for each other contender the ratio (its time / the fast path's time,
// above 1 when the fast path is faster) per round as min / median / max.
//
//   numoria_compare [--rounds N] [--threads N] [--only TEXT]
// --threads sets the library's and OpenBLAS's thread count alike (default 1).
#include <cblas.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "machine.h"
#include "matrix/kernel_paths.h"
#include "operands.h"
#include "peak.h"
#include "rounds.h"
#include "runtime/parallel.h"

extern "C" void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* pivots, int* info);

namespace {

using namespace numoria;
using namespace numoria::matrix;
using bench::Contender;
using bench::squareOfSize;

struct Options {
    int rounds = 7;
    int threads = 1;
    std::string only;
};

struct Case {
    std::string name;
    double pairs;                      // multiply-add pairs per call, for the rate; 0 prints none
    std::vector<Contender> contenders; // the library's fast path first
};

volatile double sink;

// Keeps operands alive for the closures that use them.
struct Operands {
    explicit Operands(std::int16_t n) : a(squareOfSize(n, 1.0)), b(squareOfSize(n, 2.0)), c(CreateMatrix(n, n)) {}
    Matrix a, b, c;
    std::vector<double> work;
    std::vector<int> pivots;
};

// Zeroed memory from the heap for one call, as the library's records get it.
struct FreshBlock {
    explicit FreshBlock(std::size_t count) : data(static_cast<double*>(std::calloc(count, sizeof(double)))) {
        if (data == nullptr) throw std::bad_alloc();
    }
    FreshBlock(const FreshBlock&) = delete;
    FreshBlock& operator=(const FreshBlock&) = delete;
    ~FreshBlock() { std::free(data); }
    double* data;
};

Case productCase(std::int16_t n, std::vector<std::unique_ptr<Operands>>& keep) {
    Operands& o = *keep.emplace_back(std::make_unique<Operands>(n));
    Case c{"MultiplyMatrix/" + std::to_string(n), double(n) * n * n, {}};
    c.contenders.push_back({"fast", [&o] { sink = MultiplyMatrix(o.a, o.b).Element.data()[0]; }});
    auto dgemmInto = [&o, n](double* result) {
        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, n, n, n, 1.0, o.a.Element.data(), n, o.b.Element.data(),
                    n, 0.0, result, n);
        sink = result[0];
    };
    c.contenders.push_back({"dgemm", [&o, dgemmInto] { dgemmInto(o.c.Element.data()); }});
    // The library's call returns a new record, so it also gets and first
    // touches memory for the result; the same for OpenBLAS, where that is
    // a measurable part of the call.
    if (n >= 1024)
        c.contenders.push_back(
            {"dgemm, fresh result", [&o, dgemmInto] { dgemmInto(FreshBlock(o.a.Element.size()).data); }});
    if (n <= 256)
        c.contenders.push_back(
            {"exact", [&o] { sink = MultiplyMatrixOn(KernelPath::Exact, o.a, o.b).Element.data()[0]; }});
    return c;
}

Case determinantCase(std::int16_t n, std::vector<std::unique_ptr<Operands>>& keep) {
    Operands& o = *keep.emplace_back(std::make_unique<Operands>(n));
    o.work.resize(o.a.Element.size());
    o.pivots.resize(static_cast<std::size_t>(n));
    Case c{"Determinant/" + std::to_string(n), 0.0, {}};
    c.contenders.push_back({"fast", [&o] { sink = Determinant(o.a); }});
    auto dgetrfOnCopy = [&o, n](double* work) { // a copy, as the library's working copy
        const int size = n;
        std::copy(o.a.Element.data(), o.a.Element.data() + o.a.Element.size(), work);
        int info = 0;
        dgetrf_(&size, &size, work, &size, o.pivots.data(), &info);
        sink = work[0];
    };
    c.contenders.push_back({"dgetrf", [&o, dgetrfOnCopy] { dgetrfOnCopy(o.work.data()); }});
    if (n >= 1024)
        c.contenders.push_back(
            {"dgetrf, fresh copy", [&o, dgetrfOnCopy] { dgetrfOnCopy(FreshBlock(o.a.Element.size()).data); }});
    if (n <= 256) c.contenders.push_back({"exact", [&o] { sink = DeterminantOn(KernelPath::Exact, o.a); }});
    return c;
}

Case inversionCase(std::int16_t n, std::vector<std::unique_ptr<Operands>>& keep) {
    Operands& o = *keep.emplace_back(std::make_unique<Operands>(n));
    Case c{"InvertMatrix/" + std::to_string(n), 0.0, {}};
    c.contenders.push_back({"fast", [&o] { sink = InvertMatrix(o.a).Element.data()[0]; }});
    if (n <= 64)
        c.contenders.push_back({"exact", [&o] { sink = InvertMatrixOn(KernelPath::Exact, o.a).Element.data()[0]; }});
    return c;
}

std::string timeText(double seconds) {
    char text[32];
    if (seconds < 1e-6)
        std::snprintf(text, sizeof text, "%.0f ns", seconds * 1e9);
    else if (seconds < 1e-3)
        std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    else if (seconds < 1.0)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

void report(const Case& c, const bench::Timings& timings, double peak) {
    const std::vector<std::vector<double>>& seconds = timings.wall;
    std::printf("%s\n", c.name.c_str());
    for (std::size_t i = 0; i < c.contenders.size(); ++i) {
        const bench::Spread s = bench::spreadOf(seconds[i]);
        const bench::Spread p = bench::spreadOf(timings.processor[i]);
        std::printf("  %-19s %10s %10s %10s  max/min %.2f  (processor %s %s, max/min %.2f)",
                    c.contenders[i].name.c_str(), timeText(s.min).c_str(), timeText(s.median).c_str(),
                    timeText(s.max).c_str(), s.max / s.min, timeText(p.min).c_str(), timeText(p.median).c_str(),
                    p.max / p.min);
        if (c.pairs > 0) {
            std::printf("  %.2f G pairs/s", c.pairs / s.median / 1e9);
            if (peak > 0) std::printf(", %.2f of peak per processor second", c.pairs / p.median / peak);
        }
        std::printf("\n");
    }
    auto ratios = [&](const std::vector<std::vector<double>>& times, std::size_t i) {
        std::vector<double> perRound;
        for (std::size_t r = 0; r < times[0].size(); ++r) perRound.push_back(times[i][r] / times[0][r]);
        return bench::spreadOf(perRound);
    };
    for (std::size_t i = 1; i < c.contenders.size(); ++i) {
        const bench::Spread s = ratios(seconds, i), p = ratios(timings.processor, i);
        std::printf("  %s / fast: %.3f %.3f %.3f  (processor %.3f %.3f %.3f)\n", c.contenders[i].name.c_str(), s.min,
                    s.median, s.max, p.min, p.median, p.max);
    }
    std::fflush(stdout);
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--rounds"))
            options.rounds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--threads"))
            options.threads = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--only"))
            options.only = argv[i + 1];
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    openblas_set_num_threads(options.threads);
    parallel::setThreads(options.threads, parallel::kSmallestSplitWork);
    std::printf("machine: %s\nload average at start: %s\n", bench::processorDescription().c_str(),
                bench::loadAverage().c_str());
    const char* threadTimeout = std::getenv("OPENBLAS_THREAD_TIMEOUT");
    std::printf("OpenBLAS: %s, kernel %s, %d thread(s), OPENBLAS_THREAD_TIMEOUT=%s\n", openblas_get_config(),
                openblas_get_corename(), openblas_get_num_threads(),
                threadTimeout != nullptr ? threadTimeout : "unset");
    std::printf("library: %s kernels, %d thread(s) for large calls\n", kernels::nameOf(kernels::bestInstructionSet()),
                parallel::partsFor(parallel::kSmallestSplitWork));
    const double peak = bench::measuredPeakPairsPerSecond();
    std::printf("measured multiply-plus-add peak of one core: %.2f G pairs/s\n", peak / 1e9);
    std::printf(
        "%d rounds; per contender: min median max wall time per call, their spread, and min and median\n"
        "processor time of the process; ratios per round, of wall and of processor times\n\n",
        options.rounds);

    std::vector<std::unique_ptr<Operands>> keep;
    std::vector<Case> cases;
    for (std::int16_t n : {3, 10, 50, 256, 1024, 2048}) cases.push_back(productCase(n, keep));
    for (std::int16_t n : {3, 10, 50, 256, 1024, 2048}) cases.push_back(determinantCase(n, keep));
    for (std::int16_t n : {10, 64, 128}) cases.push_back(inversionCase(n, keep));
    for (const Case& c : cases) {
        if (!options.only.empty() && c.name.find(options.only) == std::string::npos) continue;
        report(c, bench::timeInRounds(c.contenders, options.rounds, 0.05), c.pairs > 0 ? peak : 0.0);
    }
    std::printf("\nload average at end: %s\n", bench::loadAverage().c_str());
    return 0;
}
