#!/bin/bash
# Makes a fresh Wine prefix (64-bit, or 32-bit with WINEARCH=win32) and
# registers the given in-process servers in it (regsvr32 through each DLL's
# own DllRegisterServer).
#
#   scripts/wine/make-prefix.sh <prefix-dir> [dll ...]
#
# A DLL that does not exist is skipped with a note, so the prefix can be made
# before every DLL has been built. Every Wine process here has its output
# sent to a file or /dev/null, so the wineserver that stays up for a few
# seconds afterwards holds none of the caller's pipes open (CTest would wait
# for it otherwise); stop-prefix.sh shuts it down at once.
#
# With NUMORIA_PREFIX_TEMPLATE set (the 32-bit guest sets it), the first
# prefix made is also kept at that path and later ones are copies of it:
# under emulation wineboot takes a minute, a copy a second.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

if [ $# -lt 1 ]; then
    echo "usage: $0 <prefix-dir> [dll ...]" >&2
    exit 2
fi
prefix=$1
shift
[ -x "$WINE_LOADER" ] || { echo "no Wine loader at $WINE_LOADER (scripts/test.sh installs it)" >&2; exit 1; }

mkdir -p "$(dirname "$prefix")"
export WINEPREFIX
WINEPREFIX=$(readlink -f "$(dirname "$prefix")")/$(basename "$prefix")

if [ -d "$WINEPREFIX" ]; then
    "$WINE_SERVER" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
fi

boot_prefix() {
    "$WINE_LOADER" wineboot --init </dev/null >"$WINEPREFIX.wineboot.log" 2>&1 || {
        cat "$WINEPREFIX.wineboot.log" >&2
        exit 1
    }
}
template=${NUMORIA_PREFIX_TEMPLATE:-}
if [ -z "$template" ]; then
    boot_prefix
elif [ -d "$template" ]; then
    cp -a "$template" "$WINEPREFIX"
else
    boot_prefix
    # The server writes the registry out when it ends: only then is the
    # prefix complete enough to copy.
    "$WINE_SERVER" -w
    mkdir -p "$(dirname "$template")"
    cp -a "$WINEPREFIX" "$template.partial.$$"
    mv "$template.partial.$$" "$template"
fi

status=0
for dll in "$@"; do
    if [ ! -f "$dll" ]; then
        echo "not built, not registered: $dll"
        continue
    fi
    if "$WINE_LOADER" regsvr32 /s "$(windows_path "$dll")" </dev/null >/dev/null 2>&1; then
        echo "registered: $dll"
    else
        echo "registration failed: $dll" >&2
        status=1
    fi
done

exit $status
