#!/usr/bin/env bash
# Authenticode-signs Windows executables in place with osslsigncode, then
# verifies each signature it made (a failed verification stops with an error):
#   LUMAROTH_SIGN_PFX=cert.pfx LUMAROTH_SIGN_PASSWORD_FILE=pass.txt tools/sign.sh FILE...
# LUMAROTH_SIGN_TIMESTAMP_URL (optional) adds an RFC 3161 time stamp, so the
# signature stays valid after the certificate expires. Without a time stamp
# the signing time is SOURCE_DATE_EPOCH when set, so that signing the same
# bytes with the same certificate gives the same file. The chain is checked
# against the system's trusted roots and the CA certificates in the PKCS#12
# file (an intermediate, or a private root for tests).
set -euo pipefail
: "${LUMAROTH_SIGN_PFX:?the certificate (PKCS#12)}" "${LUMAROTH_SIGN_PASSWORD_FILE:?a file holding its password}"
options=(-pkcs12 "$LUMAROTH_SIGN_PFX" -readpass "$LUMAROTH_SIGN_PASSWORD_FILE" -h sha256
         -n "Lumaroth" -i "https://www.vexlumen.net/")
system_roots=/etc/ssl/certs/ca-certificates.crt
verify=()
if [ -n "${LUMAROTH_SIGN_TIMESTAMP_URL:-}" ]; then
    options+=(-ts "$LUMAROTH_SIGN_TIMESTAMP_URL")
    verify+=(-TSA-CAfile "$system_roots")
elif [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    options+=(-time "$SOURCE_DATE_EPOCH")
fi
chain=$(mktemp)
trap 'rm -f "$chain"' EXIT
cat "$system_roots" > "$chain" 2>/dev/null || true
# OpenSSL 3 reads the RC2-encrypted files older tools write only with -legacy.
for legacy in "" -legacy; do
    openssl pkcs12 $legacy -in "$LUMAROTH_SIGN_PFX" -passin "file:$LUMAROTH_SIGN_PASSWORD_FILE" -nokeys -cacerts \
        >> "$chain" 2>/dev/null && break
done
for file in "$@"; do
    osslsigncode sign "${options[@]}" -in "$file" -out "$file.signed" >/dev/null
    mv -f "$file.signed" "$file"
    if ! osslsigncode verify "${verify[@]}" -CAfile "$chain" -in "$file" > "$file.verify" 2>&1; then
        cat "$file.verify" >&2
        rm -f "$file.verify"
        echo "sign: the signature just made on $file does not verify" >&2
        exit 1
    fi
    rm -f "$file.verify"
    echo "signed and verified: $file"
done
