#!/usr/bin/env bash
# Runs every test: the core's unit tests natively and under AddressSanitizer
# and UndefinedBehaviorSanitizer; then both Windows builds, the 64-bit DLL's
# client tests and VBScript sessions under Wine, and the inspection of the
# 32-bit DLL (which cannot run here); last, a short run of each fuzz driver.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

for preset in native native-sanitize win32 win64; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
for preset in native native-sanitize win64; do
    echo "== tests: $preset"
    ctest --preset "$preset"
done

echo "== fuzz"
scripts/fuzz.sh 10
