#!/usr/bin/env bash
# Issues the throwaway certificates of a test or demo run into DIR:
#   ca.pem / ca.der          a CA that only the run's Wine prefix trusts
#   server.pem / server.key  dynupdate.vexlumen.net, issued by that CA
#   wrongname.pem / .key     issued by the CA for another name
#   untrusted.pem / .key     self-signed for the right name, trusted by nobody
set -euo pipefail
dir=${1:?usage: make_certs.sh DIR}
host=${2:-dynupdate.vexlumen.net}
mkdir -p "$dir"
cd "$dir"

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -keyout ca.key -out ca.pem \
    -subj "/CN=Lumaroth Throwaway Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl x509 -in ca.pem -outform der -out ca.der

issue() {  # name dns-name
    local name=$1 dns=$2
    openssl req -newkey rsa:2048 -nodes -sha256 -keyout "$name.key" -out "$name.csr" -subj "/CN=$dns" 2>/dev/null
    printf 'subjectAltName=DNS:%s\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n' \
        "$dns" > "$name.ext"
    openssl x509 -req -in "$name.csr" -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 -sha256 \
        -extfile "$name.ext" -out "$name.pem" 2>/dev/null
    rm -f "$name.csr" "$name.ext"
}
issue server "$host"
issue wrongname "wrong-name.vexlumen.invalid"

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -keyout untrusted.key -out untrusted.pem \
    -subj "/CN=$host" -addext "subjectAltName=DNS:$host" 2>/dev/null
