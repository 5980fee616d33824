#!/bin/bash
# Runs each DLL's own registration in a scratch prefix and writes the registry
# rows it produced, for the installer packages (tools/deploy/registration_rows.py).
# The DLLs are registered from the folders the packages install them to, so
# their paths come out as the installer's folder properties.
#
#   capture-registration.sh <dist-dir> <work-dir>
#
# Writes <work-dir>/numori10.json, numori10arrays.json and vxfundara10.json. WINEARCH
# picks the loader (win64 by default); win32 captures the
# 32-bit DLLs the same way.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
. "$root/scripts/wine/wine-env.sh"
[ $# -eq 2 ] || { echo "usage: $0 <dist-dir> <work-dir>" >&2; exit 2; }
dist=$(readlink -f "$1") work=$2
mkdir -p "$work"
work=$(readlink -f "$work")
export WINEPREFIX=$work/prefix
bash "$root/scripts/wine/make-prefix.sh" "$WINEPREFIX" >/dev/null
trap '"$WINE_SERVER" -k >/dev/null 2>&1 || true' EXIT

export_classes() { "$WINE_LOADER" regedit /E "$(windows_path "$work")\\$1" HKEY_CLASSES_ROOT </dev/null >/dev/null 2>&1; }

# dll | installer folder property | folder below Program Files
capture() {
    local dll=$1 property=$2 folder=$3
    local target="$WINEPREFIX/drive_c/Program Files/$folder"
    mkdir -p "$target"
    cp "$dist/$dll" "$target/"
    [ "$dll" != numori10.dll ] || cp "$dist/numoria_runtime.tlb" "$dist/numori10.tlb" "$target/"
    [ "$dll" != numori10arrays.dll ] || cp "$dist/numori10arrays.tlb" "$target/"
    export_classes before.reg
    "$WINE_LOADER" regsvr32 /s "C:\\Program Files\\${folder//\//\\}\\$dll" </dev/null >/dev/null 2>&1
    export_classes after.reg
    python3 "$root/tools/deploy/registration_rows.py" "$work/before.reg" "$work/after.reg" \
        "C:\\Program Files\\${folder//\//\\}" "$property" "$work/${dll%.dll}.json"
}
capture vxfundara10.dll STANDINDIR "Numoria10/FrameworkStandIn"
capture numori10.dll INSTALLDIR "Numoria10"
capture numori10arrays.dll INSTALLDIR "Numoria10"
echo "registration rows: $work/numori10.json $work/numori10arrays.json $work/vxfundara10.json"
