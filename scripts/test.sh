#!/usr/bin/env bash
# Runs every test: the core's unit tests natively and under AddressSanitizer
# and UndefinedBehaviorSanitizer; the 64-bit DLL's client tests and VBScript
# sessions under Wine; the same client tests, sessions and unit tests for the
# 32-bit DLL under 32-bit Wine in an emulated guest (scripts/guest32); last, a
# short run of each fuzz driver.
#
#   scripts/test.sh           everything (the 32-bit group adds 5 to 10 minutes)
#   scripts/test.sh --quick   everything but the 32-bit guest group
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
[ "${1:-}" = --quick ] && quick=1
source scripts/packages.sh
packages=("${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}")
[ $quick -eq 0 ] && packages+=("${GUEST32_PACKAGES[@]}")
scripts/install-packages.sh "${packages[@]}"

for preset in native native-sanitize win32 win64; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
for preset in native native-sanitize win64 win32; do
    echo "== tests: $preset"
    ctest --preset "$preset"
done

if [ $quick -eq 0 ]; then
    echo "== tests: win32 in the emulated guest (32-bit Wine)"
    start=$SECONDS
    scripts/guest32/run.sh ctest --preset win32-guest
    echo "== win32 guest group: $((SECONDS - start)) s"
fi

echo "== fuzz"
scripts/fuzz.sh 10
