#!/usr/bin/env bash
# Builds the fuzz drivers (preset fuzz) and runs each one for a bounded time,
# starting from its seed corpus in fuzz/corpus/<target>:
#     scripts/fuzz.sh [seconds per target, default 20]
# Fails on the first crash, leak, sanitizer report, broken invariant or
# input slower than 25 s; libFuzzer keeps that input in build/fuzz/artifacts/.
# Inputs a run finds go to build/fuzz/runs/<target>, never into the seed
# corpus (scripts/fuzz-corpus.sh folds them in).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
source scripts/packages.sh
scripts/install-packages.sh "${FUZZ_PACKAGES[@]}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p build/fuzz/artifacts
for target in matrix_operations numerals_and_counting element_array; do
    echo "== fuzz: $target, ${seconds} s"
    mkdir -p "build/fuzz/runs/$target"
    log="build/fuzz/$target.log"
    if ! "build/fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$target-" "build/fuzz/runs/$target" "fuzz/corpus/$target" \
        >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "fuzz: $target failed (full log: $log)" >&2
        exit 1
    fi
    grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec|^stat::peak_rss_mb" "$log"
done
