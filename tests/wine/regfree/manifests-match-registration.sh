#!/bin/bash
# Exports HKEY_CLASSES_ROOT of the prefix in WINEPREFIX (where the DLLs were
# registered through their own DllRegisterServer) and compares the dist
# folder's assembly manifests with it (tools/deploy/check_manifests.py).
#
#   manifests-match-registration.sh <dist-dir> <work-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
. "$root/scripts/wine/wine-env.sh"
[ $# -eq 2 ] || { echo "usage: $0 <dist-dir> <work-dir>" >&2; exit 2; }
dist=$1 work=$2
mkdir -p "$work"
export_file=$work/hkcr.reg
rm -f "$export_file"
"$WINE_LOADER" regedit /E "$(windows_path "$work")\\hkcr.reg" HKEY_CLASSES_ROOT </dev/null >/dev/null 2>&1
[ -s "$export_file" ] || { echo "regedit wrote no export" >&2; exit 1; }
python3 "$root/tools/deploy/check_manifests.py" "$export_file" "$dist/Numoria10.manifest" "$dist/VxFundara10.manifest" \
    "$dist/Numoria10Arrays.manifest"
