// MultiplyMatrix on the fast and the exact path, and OpenBLAS dgemm on the
// same operands, single-threaded. Reported as multiply-add pairs per second.
#include <benchmark/benchmark.h>


#include <algorithm>

#include "bench_support.h"
#include "matrix/kernel_paths.h"

#if NUMORIA_HAVE_OPENBLAS
#include <cblas.h>
#endif

namespace {

using namespace numoria;

using namespace numoria::matrix;

using bench::reportRate;
using bench::squareOfSize;

void productOn(benchmark::State& state, KernelPath path) {
    const auto n = static_cast<std::int16_t>(state.range(0));
    const Matrix a = squareOfSize(n, 1.0), b = squareOfSize(n, 2.0);
    for (auto _ : state) benchmark::DoNotOptimize(MultiplyMatrixOn(path, a, b));
    reportRate(state, "pairs/s", double(n) * n * n);
}

void BM_MultiplyFast(benchmark::State& state) { productOn(state, KernelPath::Fast); }

// The fast path with each instruction set's kernel.
void BM_MultiplyWith(benchmark::State& state, kernels::InstructionSet set) {
    const auto supported = kernels::supportedInstructionSets();
    if (std::find(supported.begin(), supported.end(), set) == supported.end()) {
        state.SkipWithError("not supported by this CPU");
        return;
    }
    const auto n = static_cast<std::int16_t>(state.range(0));
    const Matrix a = squareOfSize(n, 1.0), b = squareOfSize(n, 2.0);
    for (auto _ : state) benchmark::DoNotOptimize(MultiplyMatrixWith(set, a, b));
    reportRate(state, "pairs/s", double(n) * n * n);
}
BENCHMARK_CAPTURE(BM_MultiplyWith, SSE2, kernels::InstructionSet::Sse2)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MultiplyWith, AVX2, kernels::InstructionSet::Avx2)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MultiplyWith, AVX512, kernels::InstructionSet::Avx512)->Arg(1024)->Unit(benchmark::kMillisecond);
void BM_MultiplyExact(benchmark::State& state) { productOn(state, KernelPath::Exact); }
BENCHMARK(BM_MultiplyFast)->RangeMultiplier(2)->Range(4, 2048)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultiplyExact)->RangeMultiplier(2)->Range(4, 1024)->Arg(3)->Unit(benchmark::kMillisecond);

#if NUMORIA_HAVE_OPENBLAS
void BM_OpenBlasDgemm(benchmark::State& state) {
    const auto n = static_cast<std::int16_t>(state.range(0));
    const Matrix a = squareOfSize(n, 1.0), b = squareOfSize(n, 2.0);
    Matrix c = CreateMatrix(n, n);
    for (auto _ : state) {
        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, n, n, n, 1.0, a.Element.data(), n, b.Element.data(),
                    n, 0.0, c.Element.data(), n);
        benchmark::DoNotOptimize(c.Element.data());
    }
    reportRate(state, "pairs/s", double(n) * n * n);
}
BENCHMARK(BM_OpenBlasDgemm)->RangeMultiplier(2)->Range(4, 2048)->Arg(3)->Unit(benchmark::kMillisecond);
#endif

} // namespace

