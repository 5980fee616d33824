// Runs the benchmarks after saying which kernels run: the library's fast
// path for this CPU, and OpenBLAS's (single-threaded).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "matrix/kernels/cpu_kernels.h"

#if NUMORIA_HAVE_OPENBLAS
#include <cblas.h>
#endif

int main(int argc, char** argv) {
#if NUMORIA_HAVE_OPENBLAS
    openblas_set_num_threads(1);
    std::printf("OpenBLAS: %s, kernel %s\n", openblas_get_config(), openblas_get_corename());
#endif
    std::printf("fast path kernels: %s\n",
                numoria::matrix::kernels::nameOf(numoria::matrix::kernels::bestInstructionSet()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
