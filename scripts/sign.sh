#!/usr/bin/env bash
# Signs DLLs and installer packages in place with osslsigncode (Authenticode,
# SHA-256). The certificate and key are given by the caller and never kept
# in the repository; the dist folders stay unsigned unless this is run.
#
#   scripts/sign.sh <certificate.pem> <key.pem> <file>...
#
# NUMORIA_SIGN_PASSWORD_FILE names a file holding the key's password;
# NUMORIA_TIMESTAMP_URL a time-stamping service (none by default).
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 <certificate.pem> <key.pem> <file>..." >&2; exit 2; }
certificate=$1 key=$2
shift 2
options=(-h sha256 -n "Numoria10" -certs "$certificate" -key "$key")
[ -z "${NUMORIA_SIGN_PASSWORD_FILE:-}" ] || options+=(-readpass "$NUMORIA_SIGN_PASSWORD_FILE")
[ -z "${NUMORIA_TIMESTAMP_URL:-}" ] || options+=(-ts "$NUMORIA_TIMESTAMP_URL")
for file in "$@"; do
    # osslsigncode writes a new file; it replaces the original once signed.
    signed="$file.signing.$$"
    rm -f "$signed"
    if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >/dev/null; then
        rm -f "$signed"
        echo "signing failed: $file" >&2
        exit 1
    fi
    mv "$signed" "$file"
    echo "signed: $file"
done
