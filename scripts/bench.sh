#!/usr/bin/env bash
# Runs the core's benchmarks. By default numoria_compare: the fast path,
# OpenBLAS and (where it is quick enough) the exact path interleaved round by
# round in one process. Its arguments pass through, e.g.
#   scripts/bench.sh --rounds 9 --only MultiplyMatrix/1024
#   scripts/bench.sh --threads 2
# `scripts/bench.sh google ARGS` runs the Google Benchmark program of the
# element-by-element and scalar operations instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${NATIVE_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cmake --preset bench >/dev/null
cmake --build --preset bench --target numoria_compare numoria_bench
program=numoria_compare
if [[ "${1:-}" == google ]]; then
    program=numoria_bench
    shift
fi
# OpenBLAS picks its kernel for this CPU only when these are unset. Its idle
# worker threads spin for a while after each call, on the very cores the
# library's threads use next; a short timeout (2^4 cycles of its wait loop)
# parks them, so neither contender runs beside the other's leftovers.
env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE OPENBLAS_THREAD_TIMEOUT=4 "./build/bench/bench/$program" "$@"
