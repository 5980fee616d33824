#!/bin/bash
# Installs an installer package in a fresh prefix with `msiexec /qn` and
# checks it the way a user meets it:
#   1. a default installation installs and registers the library and the
#      array functions but not the framework stand-in; removing it leaves the
#      prefix as it was;
#   2. with the stand-in (ADDLOCAL=ALL) the C++ host creates and calls every
#      class and every VBScript session passes; removal leaves the prefix as
#      it was (registry and files, nothing left and nothing else changed);
#   3. installing over an older version replaces it (one product left, the
#      newer one), and removal again leaves the prefix as it was.
#
#   test-msi.sh <package.msi> <older.msi> <host-tests.exe> <vbs> <work-dir>
#
# <vbs> is a folder of VBScript sessions (all of them run) or one session.
# WINEARCH picks the loader (win64 by default); with win32
# and the 32-bit host the same steps check the x86 package.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
. "$root/scripts/wine/wine-env.sh"
[ $# -eq 5 ] || { echo "usage: $0 <package.msi> <older.msi> <host-tests.exe> <vbs> <work-dir>" >&2; exit 2; }
package=$(readlink -f "$1") older=$(readlink -f "$2") host=$(readlink -f "$3")
if [ -d "$4" ]; then
    vbs_dir=$(readlink -f "$4")
    sessions=("$vbs_dir"/*.vbs)
else
    vbs_dir=$(dirname "$(readlink -f "$4")")
    sessions=("$(readlink -f "$4")")
fi
mkdir -p "$5"
work=$(readlink -f "$5")
state="python3 $root/tools/deploy/install_state.py"
export WINEPREFIX=$work/prefix NUMORIA_STANDIN_NO_UI=1
bash "$root/scripts/wine/make-prefix.sh" "$WINEPREFIX" >/dev/null
trap '"$WINE_SERVER" -k >/dev/null 2>&1 || true' EXIT
install_dir="C:\\Program Files\\Numoria10"
property() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name {print $2}'; }
product_name=$(property "$package" ProductName)
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

snapshot() {
    "$WINE_LOADER" regedit /E "$(windows_path "$work")\\$1.reg" </dev/null >/dev/null 2>&1
    (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -printf '%y %P\n' | sort) >"$work/$1.files"
}
msi() {
    "$WINE_LOADER" msiexec /qn "$@" </dev/null >/dev/null 2>&1 || { fail "msiexec $*"; return 1; }
}
registered() { "$WINE_LOADER" reg query "HKCR\\$1\\CLSID" </dev/null >/dev/null 2>&1; }
same_as_before() {
    snapshot "$1"
    $state compare "$work/before.reg" "$work/$1.reg" "$work/before.files" "$work/$1.files" || fail "$1: the prefix differs"
}
one_product() {
    snapshot "$1"
    local versions
    versions=$($state products "$work/$1.reg" "$product_name")
    [ "$versions" = "$2" ] || fail "$1: installed versions '$versions', expected '$2'"
}

# cscript registers its own script host library on first use: let it do so
# before the state every step must return to is taken.
echo 'WScript.Quit 0' >"$work/warm-up.vbs"
"$WINE_LOADER" cscript //nologo "$(windows_path "$work/warm-up.vbs")" </dev/null >/dev/null 2>&1
snapshot before

echo "== default installation"
msi /i "$(windows_path "$package")"
[ -f "$WINEPREFIX/drive_c/Program Files/Numoria10/numori10.dll" ] || fail "numori10.dll not installed"
[ ! -e "$WINEPREFIX/drive_c/Program Files/Numoria10/FrameworkStandIn/vxfundara10.dll" ] || fail "the stand-in installed by default"
registered Numoria10.clsVxNumsMatrixA || fail "Numoria10.clsVxNumsMatrixA not registered"
registered Numoria10Arrays.clsVxNumsArraysA || fail "Numoria10Arrays.clsVxNumsArraysA not registered"
! registered VxFundara10.clsVxfuEnvironmentA || fail "the stand-in registered by default"
msi /x "$(windows_path "$package")"
same_as_before after-default

echo "== with the framework stand-in: C++ host and VBScript sessions"
msi /i "$(windows_path "$package")" ADDLOCAL=ALL
NUMORIA_LIBRARY_FOLDER=$install_dir "$WINE_LOADER" "$host" --gtest_filter='HostCalls.*' </dev/null >"$work/host.log" 2>&1 || true
grep -q '\[  PASSED  \] [0-9]* tests' "$work/host.log" && ! grep -q '\[  FAILED  \]' "$work/host.log" ||
    { cat "$work/host.log"; fail "C++ host"; }
for script in "${sessions[@]}"; do
    bash "$root/scripts/wine/run-vbs.sh" "$vbs_dir/support/checks.vbs" "$script" "$work/vbs" >"$work/vbs-$(basename "$script").log" 2>&1 ||
        { cat "$work/vbs-$(basename "$script").log"; fail "VBScript session $(basename "$script")"; }
done
msi /x "$(windows_path "$package")"
same_as_before after-full

echo "== upgrade over an older version"
msi /i "$(windows_path "$older")" ADDLOCAL=ALL
one_product with-older "$(property "$older" ProductVersion)"
msi /i "$(windows_path "$package")" ADDLOCAL=ALL
one_product upgraded "$(property "$package" ProductVersion)"
registered VxFundara10.clsVxfuEnvironmentA || fail "the upgrade dropped the stand-in"
msi /x "$(windows_path "$package")"
same_as_before after-upgrade

[ $failures -eq 0 ] && echo "package checks passed" || { echo "$failures package checks failed"; exit 1; }
