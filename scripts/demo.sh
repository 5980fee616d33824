#!/usr/bin/env bash
# Builds both DLLs, registers the 64-bit one with the stand-in framework
# library in a private Wine prefix under build/, and runs a short session:
# a VBScript part (conversions, combinatorics) and a C++ host that inverts a
# 3 x 3 matrix early-bound and late-bound.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
source scripts/wine/wine-env.sh

for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
cmake --build --preset win64 --target matrix_host

export WINEPREFIX="$PWD/build/demo/wineprefix" NUMORIA_STANDIN_NO_UI=1
export NUMORIA_STANDIN_LOG
NUMORIA_STANDIN_LOG=$(mkdir -p build/demo && : >build/demo/framework.log && windows_path build/demo/framework.log)
scripts/wine/make-prefix.sh "$WINEPREFIX" dist/win64/vxfundara10.dll dist/win64/numori10.dll
trap 'scripts/wine/stop-prefix.sh "$WINEPREFIX"' EXIT

echo
echo "== VBScript (cscript) =="
"$WINE_LOADER" cscript //nologo "$(windows_path examples/demo.vbs)" </dev/null
echo
echo "== C++ host =="
"$WINE_LOADER" build/win64/examples/matrix_host.exe </dev/null
echo
echo "== What the framework library was told (build/demo/framework.log) =="
cat build/demo/framework.log
