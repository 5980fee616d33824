#!/bin/bash
# Runs one VBScript or JScript test session under Wine's cscript.
#
#   scripts/wine/run-vbs.sh <checks.vbs> <script.vbs> <work-dir>
#
# The session is the shared check helpers followed by the script, written to
# one file (VBScript has no include). The stand-in's log is pointed at a
# fresh file in <work-dir>, which the script reads as NUMORIA_STANDIN_LOG.
# The session passes when cscript exits 0 AND prints "N passed, 0 failed":
# Wine's cscript exits 0 even when a script stops on an untrapped error, so
# the summary line is what proves the script ran to its end.
# NUMORIA_CSCRIPT names another script host (a cscript.exe copy with an
# application manifest of its own); the prefix's cscript otherwise.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
[ $# -eq 3 ] || { echo "usage: $0 <checks.vbs> <script.vbs> <work-dir>" >&2; exit 2; }
checks=$1 script=$2 work=$3
# The session keeps the script's extension, which picks cscript's engine
# (.vbs VBScript, .js JScript).
extension=${script##*.}
name=$(basename "$script" ".$extension")
mkdir -p "$work"
session="$work/$name.session.$extension"
log="$work/$name.standin.log"
cat "$checks" "$script" | sed 's/$/\r/' >"$session"
: >"$log"
export NUMORIA_STANDIN_LOG
NUMORIA_STANDIN_LOG=$(windows_path "$log")

set +e
output=$("$WINE_LOADER" "${NUMORIA_CSCRIPT:-cscript}" //nologo "$(windows_path "$session")" </dev/null 2>&1)
status=$?
set -e
printf '%s\n' "$output"
if [ $status -ne 0 ]; then
    echo "cscript exited with $status" >&2
    exit 1
fi
if ! printf '%s\n' "$output" | tr -d '\r' | grep -Eq '^[1-9][0-9]* passed, 0 failed$'; then
    echo "no clean summary line: the script failed or stopped early" >&2
    exit 1
fi
