#!/bin/bash
# Shuts down the wineserver of a prefix (and every Wine process in it).
#   scripts/wine/stop-prefix.sh <prefix-dir>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
[ $# -eq 1 ] || { echo "usage: $0 <prefix-dir>" >&2; exit 2; }
[ -d "$1" ] || exit 0
export WINEPREFIX
WINEPREFIX=$(readlink -f "$1")
"$WINE_SERVER" -k >/dev/null 2>&1
exit 0
