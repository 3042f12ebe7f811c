#!/usr/bin/env bash
# Authenticode-signs Windows executables in place with osslsigncode, then
# verifies each signature it made (a failed verification stops with an error):
#   LUMAROTH_SIGN_PFX=cert.pfx LUMAROTH_SIGN_PASSWORD_FILE=pass.txt tools/sign.sh [--test-root CA.pem] FILE...
# LUMAROTH_SIGN_TIMESTAMP_URL (optional) adds an RFC 3161 time stamp, so the
# signature stays valid after the certificate expires. Without a time stamp
# the signing time is SOURCE_DATE_EPOCH when set, so that signing the same
# bytes with the same certificate gives the same file.
# The chain is checked against the system's trusted roots only, as a user's
# Windows checks it against its own: a certificate the PKCS#12 file carries
# counts as an intermediate, never as a root. A test certificate needs
# --test-root, whose root alone is trusted then; such a file is reported as
# a "test signature", which no user's Windows trusts.
set -euo pipefail
: "${LUMAROTH_SIGN_PFX:?the certificate (PKCS#12)}" "${LUMAROTH_SIGN_PASSWORD_FILE:?a file holding its password}"
test_root=
if [ "${1:-}" = --test-root ]; then
    test_root=${2:?--test-root needs the root certificate (PEM)}
    shift 2
fi
options=(-pkcs12 "$LUMAROTH_SIGN_PFX" -readpass "$LUMAROTH_SIGN_PASSWORD_FILE" -h sha256
         -n "Lumaroth" -i "https://www.vexlumen.net/")
system_roots=/etc/ssl/certs/ca-certificates.crt
roots=${test_root:-$system_roots}
verify=()
if [ -n "${LUMAROTH_SIGN_TIMESTAMP_URL:-}" ]; then
    options+=(-ts "$LUMAROTH_SIGN_TIMESTAMP_URL")
    verify+=(-TSA-CAfile "$system_roots")
elif [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    options+=(-time "$SOURCE_DATE_EPOCH")
fi
for file in "$@"; do
    osslsigncode sign "${options[@]}" -in "$file" -out "$file.signed" >/dev/null
    mv -f "$file.signed" "$file"
    if ! osslsigncode verify "${verify[@]}" -CAfile "$roots" -in "$file" > "$file.verify" 2>&1; then
        cat "$file.verify" >&2
        rm -f "$file.verify"
        echo "sign: the signature just made on $file does not check out against $roots" >&2
        exit 1
    fi
    rm -f "$file.verify"
    if [ -n "$test_root" ]; then
        echo "test signature (chain checked against $test_root only): $file"
    else
        echo "signed and verified: $file"
    fi
done
