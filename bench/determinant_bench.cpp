// Determinant on the fast and the exact path against OpenBLAS's LU
// factorisation (dgetrf, single-threaded), and InvertMatrix.
#include <vector>

#include "bench_support.h"
#include "matrix/kernel_paths.h"

#if NUMORIA_HAVE_OPENBLAS
extern "C" void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* pivots, int* info);
#endif

namespace {

using namespace numoria;
using namespace numoria::matrix;
using bench::reportRate;
using bench::squareOfSize;

void determinantOn(benchmark::State& state, KernelPath path) {
    const auto n = static_cast<std::int16_t>(state.range(0));
    const Matrix a = squareOfSize(n, 1.0);
    for (auto _ : state) benchmark::DoNotOptimize(DeterminantOn(path, a));
    reportRate(state, "n^3/s", double(n) * n * n);
}
void BM_DeterminantFast(benchmark::State& state) { determinantOn(state, KernelPath::Fast); }
void BM_DeterminantExact(benchmark::State& state) { determinantOn(state, KernelPath::Exact); }
BENCHMARK(BM_DeterminantFast)->RangeMultiplier(2)->Range(4, 2048)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeterminantExact)->RangeMultiplier(2)->Range(4, 512)->Arg(3)->Unit(benchmark::kMillisecond);

#if NUMORIA_HAVE_OPENBLAS
void BM_OpenBlasDgetrf(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const Matrix a = squareOfSize(static_cast<std::int16_t>(n), 1.0);
    std::vector<double> work(a.Element.size());
    std::vector<int> pivots(static_cast<std::size_t>(n));
    for (auto _ : state) {
        std::copy(a.Element.data(), a.Element.data() + a.Element.size(), work.begin());
        int info = 0;
        dgetrf_(&n, &n, work.data(), &n, pivots.data(), &info);
        benchmark::DoNotOptimize(work.data());
    }
    reportRate(state, "n^3/s", double(n) * n * n);
}
BENCHMARK(BM_OpenBlasDgetrf)->RangeMultiplier(2)->Range(4, 2048)->Arg(3)->Unit(benchmark::kMillisecond);
#endif

void invertOn(benchmark::State& state, KernelPath path) {
    const auto n = static_cast<std::int16_t>(state.range(0));
    const Matrix a = squareOfSize(n, 1.0);
    for (auto _ : state) benchmark::DoNotOptimize(InvertMatrixOn(path, a));
}
void BM_InvertFast(benchmark::State& state) { invertOn(state, KernelPath::Fast); }
void BM_InvertExact(benchmark::State& state) { invertOn(state, KernelPath::Exact); }
BENCHMARK(BM_InvertFast)->RangeMultiplier(2)->Range(4, 128)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvertExact)->RangeMultiplier(2)->Range(4, 64)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace
