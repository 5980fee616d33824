#!/usr/bin/env bash
# Runs the core's benchmarks: the fast path, the exact path and OpenBLAS side
# by side in one process. Extra arguments go to Google Benchmark, e.g.
#   scripts/bench.sh --benchmark_filter='/1024'
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${NATIVE_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cmake --preset bench >/dev/null
cmake --build --preset bench --target numoria_bench
# OpenBLAS picks its kernel for this CPU only when these are unset.
env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE OPENBLAS_NUM_THREADS=1 ./build/bench/bench/numoria_bench "$@"
