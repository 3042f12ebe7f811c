#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on Debian 12.
# Safe to run again.
set -euo pipefail
packages=(cmake ninja-build g++-mingw-w64-x86-64 mingw-w64-tools wine64 libgnutls30 fonts-wine
          fonts-liberation2 fonts-dejavu-core xvfb xauth x11-utils imagemagick openssl python3 googletest procps
          clang-14 libfuzzer-14-dev clang-format-14 nsis osslsigncode)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
echo "setup: all packages present"
