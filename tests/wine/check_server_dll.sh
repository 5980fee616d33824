#!/bin/bash
# Inspects an in-process server DLL without running it:
#   check_server_dll.sh <objdump> <machine: i386|x86-64> <dll> <NUMORIA10|ARRAYS|STANDIN>
# Checks the machine type, that the DLL exports exactly the four server
# entry points (undecorated), and that it needs no mingw runtime DLL. For
# numori10.dll it also checks the resources: TYPELIB, one _IID_ resource
# per class, and the version block; for numori10arrays.dll its TYPELIB and
# version block.
set -uo pipefail
objdump=$1 machine=$2 dll=$3 kind=$4
failures=0
check() {  # check <description> <command...>
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# With INSPECT_SKIP_MISSING=1 a DLL that was not built is a skip (77).
if [ ! -f "$dll" ]; then
    echo "$dll does not exist (not built yet)"
    [ "${INSPECT_SKIP_MISSING:-0}" = 1 ] && exit 77
    exit 1
fi
headers=$("$objdump" -p "$dll")

check "machine type $machine" grep -q "file format pei-$machine" <<<"$headers"

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && NF==0 {exit} on {print $NF}' \
    <<<"$headers" | sort | tr '\n' ' ')
check "exactly the four server exports (found: $exports)" \
    test "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer "

imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sort | tr '\n' ' ')
for runtime in libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll; do
    check "no dependency on $runtime" test "${imports/$runtime/}" = "$imports"
done

# The resource types: the top level of the resource directory, whose
# entries objdump indents by three spaces.
types=$(sed -n '/Resource Directory section/,$p' <<<"$headers" | grep -E '^[0-9a-f]+   Entry:')
if [ "$kind" = NUMORIA10 ] || [ "$kind" = ARRAYS ]; then
    check "TYPELIB resource type" grep -q ": TYPELIB, Value" <<<"$types"
    # The version block is resource type 16 (RT_VERSION).
    check "VERSION resource type" grep -q "Entry: ID: 0x000010," <<<"$types"
fi
if [ "$kind" = NUMORIA10 ]; then
    for class in CLSVXNUMORIA10A CLSVXNUMSGENERALA CLSVXNUMSADVANCEDA CLSVXNUMSMATRIXA \
                 CLSVXNUMSCONVERSIONSA CLSVXNUMSPERCOMA; do
        check "_IID_$class resource type" grep -q ": _IID_$class, Value" <<<"$types"
    done
fi

echo "$failures failed"
[ $failures -eq 0 ]
