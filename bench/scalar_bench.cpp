// The conversions and combinatorics, per call.
#include <benchmark/benchmark.h>

#include "combinatorics/combinatorics.h"
#include "conversions/conversions.h"

namespace {

using namespace numoria;

void BM_DecimalToBinary(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(conversions::DecimalToBinary(2147483646));
}
void BM_BinaryToDecimal(benchmark::State& s) {
    const std::u16string text(31, u'1');
    for (auto _ : s) benchmark::DoNotOptimize(conversions::BinaryToDecimal(text));
}
void BM_DecimalToHex(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(conversions::DecimalToHex(-1));
}
void BM_HexToDecimal(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(conversions::HexToDecimal(u"7FFFFFFF"));
}
void BM_OctalToDecimal(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(conversions::OctalToDecimal(u"17777777777"));
}
void BM_Factorial170(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(combinatorics::Factorial(170));
}
void BM_Combination30_15(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(combinatorics::Combination(30, 15));
}
BENCHMARK(BM_DecimalToBinary);
BENCHMARK(BM_BinaryToDecimal);
BENCHMARK(BM_DecimalToHex);
BENCHMARK(BM_HexToDecimal);
BENCHMARK(BM_OctalToDecimal);
BENCHMARK(BM_Factorial170);
BENCHMARK(BM_Combination30_15);

} // namespace
