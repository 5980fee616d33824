// The element-by-element and scalar operations under Google Benchmark; the
// matrix products, determinants and inversions are compared with OpenBLAS
// by numoria_compare.
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
