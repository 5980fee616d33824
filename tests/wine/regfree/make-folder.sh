#!/bin/bash
# Makes a fresh Wine prefix in which nothing of the library is registered and
# copies a dist folder into C:\numoria as a user would, with a copy of the
# prefix's cscript.exe beside it whose application manifest is the host
# manifest: scripts run by that copy find the classes through the manifests.
#
#   make-folder.sh <prefix-dir> <dist-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../../scripts/wine" && pwd)
[ $# -eq 2 ] || { echo "usage: $0 <prefix-dir> <dist-dir>" >&2; exit 2; }
prefix=$1 dist=$2
for file in numori10.dll numori10arrays.dll vxfundara10.dll Numoria10.manifest Numoria10Arrays.manifest \
    VxFundara10.manifest Numoria10.host.manifest; do
    [ -f "$dist/$file" ] || { echo "missing in the dist folder: $file" >&2; exit 1; }
done
bash "$scripts/make-prefix.sh" "$prefix"
folder=$prefix/drive_c/numoria
mkdir -p "$folder"
cp -R "$dist"/. "$folder/"
cp "$prefix/drive_c/windows/system32/cscript.exe" "$folder/cscript.exe"
cp "$dist/Numoria10.host.manifest" "$folder/cscript.exe.manifest"
echo "registration-free folder: $folder"
