#!/usr/bin/env bash
# Benchmarks through numori10.dll under Wine (the tests never run these):
# builds the bench-win64 preset (the DLL, the stand-in framework DLL and
# the two benchmark programs, Google Benchmark cross-built from Debian's
# source package), registers both DLLs in a fresh prefix in the build
# folder and runs
#   - numoria_wine_bench: the cost of one call early-bound, through the
#     library's IDispatch::Invoke and through the platform's DispInvoke,
#     followed by the ratios between them;
#   - numoria_wine_peak: the peak memory of MultiplyMatrix at n = 2048,
#     early-bound (the figure with a target) and late-bound.
# Extra arguments go to Google Benchmark, e.g.
#   scripts/bench-wine.sh --benchmark_filter=Determinant
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${BENCH_WINE_PACKAGES[@]}"
. scripts/wine/wine-env.sh

build=build/bench-win64
dist=$build/dist
scripts/fetch-benchmark-source.sh "$build/sources" >/dev/null
cmake --preset bench-win64 >/dev/null
cmake --build --preset bench-win64

prefix=$build/wineprefix
trap 'scripts/wine/stop-prefix.sh "$prefix"' EXIT
scripts/wine/make-prefix.sh "$prefix" "$dist/vxfundara10.dll" "$dist/numori10.dll"
export WINEPREFIX
WINEPREFIX=$(readlink -f "$prefix")
export NUMORIA_STANDIN_NO_UI=1

echo "== Wine: $("$WINE_LOADER" --version)"
echo "== cost of one call"
# Five repetitions, interleaved in random order so that load from other
# processes falls on every route alike; the ratios use the medians.
bench_arguments=(--benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
                 --benchmark_display_aggregates_only=true)
if [ $# -gt 0 ]; then bench_arguments=("$@"); fi
"$WINE_LOADER" "$build/bench/wine/numoria_wine_bench.exe" "${bench_arguments[@]}"

# The program reads the kernel's figures for its own Unix process, whose id
# it cannot learn from Windows: exec keeps the subshell's id for Wine.
for route in early late; do
    echo "== peak memory, $route-bound"
    (export NUMORIA_UNIX_PID=$BASHPID; exec "$WINE_LOADER" "$build/bench/wine/numoria_wine_peak.exe" 2048 "$route")
done
