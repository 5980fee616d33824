#!/usr/bin/env bash
# Builds the library and runs the demo session.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${NATIVE_PACKAGES[@]}"

cmake --preset native >/dev/null
cmake --build --preset native --target numoria_demo
./build/native/numoria_demo
