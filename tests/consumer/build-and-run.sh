#!/bin/bash
# Configures and builds examples/cmake_consumer against a dist folder's CMake
# package with the mingw toolchain, then runs it under Wine in the prefix of
# WINEPREFIX (where the library is registered) and checks what it prints.
#
#   build-and-run.sh <toolchain file> <dist-dir> <build-dir>
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine/wine-env.sh"
[ $# -eq 3 ] || { echo "usage: $0 <toolchain file> <dist-dir> <build-dir>" >&2; exit 2; }
toolchain=$1 dist=$2 build=$3
cmake -S "$root/examples/cmake_consumer" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DNumoria10_DIR="$dist/cmake" >"$build.configure.log" 2>&1 ||
    { cat "$build.configure.log"; exit 1; }
cmake --build "$build" >"$build.build.log" 2>&1 || { cat "$build.build.log"; exit 1; }
output=$("$WINE_LOADER" "$build/numoria_consumer.exe" </dev/null 2>&1 | tr -d '\r')
printf '%s\n' "$output"
printf '%s\n' "$output" | grep -qx 'DecimalToBinary(37) = 100101'
printf '%s\n' "$output" | grep -qx 'Determinant = 10'
