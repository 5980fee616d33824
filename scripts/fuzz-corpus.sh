#!/usr/bin/env bash
# Minimises each target's seed corpus (fuzz/corpus/<target>) together with
# what earlier runs of scripts/fuzz.sh found (build/fuzz/runs/<target>):
# libFuzzer's -merge=1 keeps a small set of inputs that reaches the same
# code (edges only, not hit counts, so that the set stays a few dozen inputs).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${FUZZ_PACKAGES[@]}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

for target in matrix_operations numerals_and_counting element_array; do
    merged="build/fuzz/merged/$target"
    rm -rf "$merged"
    mkdir -p "$merged" "fuzz/corpus/$target" "build/fuzz/runs/$target"
    "build/fuzz/fuzz/${target}_fuzzer" -merge=1 -use_counters=0 -max_len=4096 "$merged" "fuzz/corpus/$target" "build/fuzz/runs/$target" \
        >"build/fuzz/$target-merge.log" 2>&1
    rm -rf "fuzz/corpus/$target"
    mv "$merged" "fuzz/corpus/$target"
    echo "fuzz corpus $target: $(ls "fuzz/corpus/$target" | wc -l) inputs, $(du -sh "fuzz/corpus/$target" | cut -f1)"
done
