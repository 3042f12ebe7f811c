#!/usr/bin/env bash
# Authenticode-signs Windows executables in place with osslsigncode:
#   LUMAROTH_SIGN_PFX=cert.pfx LUMAROTH_SIGN_PASSWORD_FILE=pass.txt tools/sign.sh FILE...
# LUMAROTH_SIGN_TIMESTAMP_URL (optional) adds an RFC 3161 time stamp, so the
# signature stays valid after the certificate expires. Without a time stamp
# the signing time is SOURCE_DATE_EPOCH when set, so that signing the same
# bytes with the same certificate gives the same file.
set -euo pipefail
: "${LUMAROTH_SIGN_PFX:?the certificate (PKCS#12)}" "${LUMAROTH_SIGN_PASSWORD_FILE:?a file holding its password}"
options=(-pkcs12 "$LUMAROTH_SIGN_PFX" -readpass "$LUMAROTH_SIGN_PASSWORD_FILE" -h sha256
         -n "Lumaroth" -i "https://www.vexlumen.net/")
if [ -n "${LUMAROTH_SIGN_TIMESTAMP_URL:-}" ]; then
    options+=(-ts "$LUMAROTH_SIGN_TIMESTAMP_URL")
elif [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    options+=(-time "$SOURCE_DATE_EPOCH")
fi
for file in "$@"; do
    osslsigncode sign "${options[@]}" -in "$file" -out "$file.signed" >/dev/null
    mv -f "$file.signed" "$file"
    echo "signed: $file"
done
