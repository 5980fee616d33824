#!/bin/bash
# Signs copies of the given files with a throwaway certificate made here
# (openssl), verifies every signature with osslsigncode, checks that a
# signed file changed by one byte no longer verifies, and that the originals
# (the dist folder) are still unsigned.
#
#   sign-and-verify.sh <work-dir> <file>...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -ge 2 ] || { echo "usage: $0 <work-dir> <file>..." >&2; exit 2; }
work=$1
shift
rm -rf "$work"
mkdir -p "$work/signed"
umask 077
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -subj "/CN=Numoria10 throwaway test signer" \
    -keyout "$work/key.pem" -out "$work/certificate.pem" -passout pass:throwaway >/dev/null 2>&1
printf 'throwaway' >"$work/password"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
verifies() { osslsigncode verify -CAfile "$work/certificate.pem" -in "$1" >"$work/verify.log" 2>&1; }

copies=()
for file in "$@"; do
    [ -f "$file" ] || { fail "missing: $file"; continue; }
    verifies "$file" && fail "already signed: $file"
    # One folder per file: both dist folders hold a numori10.dll.
    mkdir -p "$work/signed/${#copies[@]}"
    cp "$file" "$work/signed/${#copies[@]}/"
    copies+=("$work/signed/${#copies[@]}/$(basename "$file")")
done
NUMORIA_SIGN_PASSWORD_FILE=$work/password bash "$root/scripts/sign.sh" "$work/certificate.pem" "$work/key.pem" "${copies[@]}"
for copy in "${copies[@]}"; do
    if verifies "$copy"; then
        echo "verified: $(basename "$copy")"
    else
        cat "$work/verify.log"
        fail "does not verify: $copy"
    fi
    tampered=$copy.tampered
    cp "$copy" "$tampered"
    # One byte in the middle of the signed content.
    offset=$(( $(stat -c %s "$tampered") / 3 ))
    printf '\x5a' | dd of="$tampered" bs=1 seek="$offset" conv=notrunc status=none
    verifies "$tampered" && fail "a changed copy still verifies: $copy"
done
[ $failures -eq 0 ] && echo "${#copies[@]} files signed and verified" || { echo "$failures signing checks failed"; exit 1; }
