// The element-by-element operations.
#include "bench_support.h"

namespace {

using namespace numoria::matrix;
using numoria::bench::squareOfSize;

template <typename Operation>
void elementwise(benchmark::State& state, Operation operation) {
    const auto n = static_cast<std::int16_t>(state.range(0));
    const Matrix a = squareOfSize(n, 1.0), b = squareOfSize(n, 2.0);
    for (auto _ : state) benchmark::DoNotOptimize(operation(a, b));
    numoria::bench::reportRate(state, "elements/s", double(n) * n);
}

void BM_TransposeMatrix(benchmark::State& s) {
    elementwise(s, [](auto& a, auto&) { return TransposeMatrix(a); });
}
void BM_ScaleMatrix(benchmark::State& s) {
    elementwise(s, [](auto& a, auto&) { return ScaleMatrix(a, 1.5); });
}
void BM_AddMatrix(benchmark::State& s) {
    elementwise(s, [](auto& a, auto& b) { return AddMatrix(a, b); });
}
BENCHMARK(BM_TransposeMatrix)->RangeMultiplier(4)->Range(4, 2048)->Arg(3);
BENCHMARK(BM_ScaleMatrix)->RangeMultiplier(4)->Range(4, 2048)->Arg(3);
BENCHMARK(BM_AddMatrix)->RangeMultiplier(4)->Range(4, 2048)->Arg(3);

} // namespace
