#!/usr/bin/env bash
# Builds a Lumaroth release into dist/:
#   Lumaroth-<version>-setup.exe    per-user installer (installer/lumaroth.nsi)
#   Lumaroth-<version>-x64.zip      portable: Lumaroth.exe and README.txt
#   SHA256SUMS                      of the two
#   winget/manifests/...            version, defaultLocale and installer manifests
#
#   tools/release.sh [--no-check] [--dirty]
#
# A release is built from a commit: the script refuses a tree with
# uncommitted changes or untracked files (git status) and prints the commit.
# --dirty builds one anyway for a local experiment, marked as not a release:
# "-dirty" in the file names, no winget manifests, and a line saying so.
#
# The build is reproducible: a second build of the same sources in another
# folder must give byte-identical Lumaroth.exe, zip and setup exe; the script
# compares them and prints their SHA-256 (--no-check skips the second build).
# File times are the last commit's time (SOURCE_DATE_EPOCH overrides it).
#
# Signing (Authenticode, osslsigncode): set LUMAROTH_SIGN_PFX to a PKCS#12
# certificate and LUMAROTH_SIGN_PASSWORD_FILE to a file holding its password;
# LUMAROTH_SIGN_TIMESTAMP_URL adds a time stamp. Lumaroth.exe is signed before
# it goes into the installer and the zip, then the installer; every signature
# is verified (osslsigncode verify) before SHA256SUMS is written. Without a
# certificate the release is unsigned and the script says so.
# LUMAROTH_DOWNLOAD_URL is the folder URL the setup exe is published under
# (the winget manifest's InstallerUrl).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
check=1
dirty=0
for option in "$@"; do
    case $option in
        --no-check) check=0 ;;
        --dirty) dirty=1 ;;
        *) sed -n '2,27p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
    esac
done
commit=$(git rev-parse HEAD)
changes=$(git status --porcelain)
if [ -n "$changes" ] && [ "$dirty" = 0 ]; then
    echo "$changes" >&2
    echo "release: uncommitted changes: a release is built from a commit (--dirty for a local experiment)" >&2
    exit 1
fi
[ -n "$changes" ] || dirty=0

bash tools/setup.sh >/dev/null
version=$(sed -n 's/^#define LUMAROTH_VERSION_\(MAJOR\|MINOR\|PATCH\) \+\([0-9]\+\).*/\2/p' res/version.h | paste -sd.)
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "release: no version in res/version.h" >&2; exit 1; }
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C
download=${LUMAROTH_DOWNLOAD_URL:-https://www.vexlumen.net/download}
mark=
[ "$dirty" = 1 ] && mark=-dirty
setup=Lumaroth-$version$mark-setup.exe
zip=Lumaroth-$version$mark-x64.zip
signing=0
if [ -n "${LUMAROTH_SIGN_PFX:-}" ]; then
    [ -r "$LUMAROTH_SIGN_PFX" ] && [ -r "${LUMAROTH_SIGN_PASSWORD_FILE:-}" ] ||
        { echo "release: LUMAROTH_SIGN_PFX and LUMAROTH_SIGN_PASSWORD_FILE must name readable files" >&2; exit 1; }
    signing=1
fi

tmp=$(mktemp -d /tmp/lumaroth-release.XXXXXX)
trap 'rm -rf "$tmp"' EXIT

# build_exe SOURCE BUILD: the release Lumaroth.exe of SOURCE, built in BUILD.
build_exe() {
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-x86_64.cmake" \
          -DCMAKE_BUILD_TYPE=Release -DLUMAROTH_TESTS=OFF >/dev/null
    cmake --build "$2" --target Lumaroth >/dev/null
}

# package EXE OUT SIGN: the setup exe and the zip of EXE in OUT.
package() {
    local exe=$1 out=$2 sign=$3
    mkdir -p "$out/stage"
    install -m 644 "$exe" "$out/stage/Lumaroth.exe"
    [ "$sign" = 1 ] && tools/sign.sh "$out/stage/Lumaroth.exe" >/dev/null
    sed "s/@VERSION@/$version/; s/\$/\r/" installer/README.txt > "$out/stage/README.txt"
    # The installer keeps the time of the file it packs.
    touch -d "@$SOURCE_DATE_EPOCH" "$out/stage/"*
    makensis -V1 -DVERSION="$version" -DEXE="$out/stage/Lumaroth.exe" -DOUTFILE="$out/$setup" \
             "$root/installer/lumaroth.nsi"
    [ "$sign" = 1 ] && tools/sign.sh "$out/$setup" >/dev/null
    python3 - "$out/stage" "$out/$zip" <<'PY'
import os, sys, time, zipfile
stage, target = sys.argv[1:]
when = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))[:6]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for name in sorted(os.listdir(stage)):
        entry = zipfile.ZipInfo(name, date_time=when)
        entry.create_system = 0          # MS-DOS attributes: the same zip from any build host
        entry.external_attr = 0x20       # FILE_ATTRIBUTE_ARCHIVE
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(stage, name), "rb") as data:
            archive.writestr(entry, data.read(), compresslevel=9)
PY
}

if [ "$dirty" = 1 ]; then
    echo "== NOT A RELEASE: built from commit $commit with uncommitted changes (file names end in -dirty)"
else
    echo "== building Lumaroth $version from commit $commit"
fi
echo "== building Lumaroth $version (release) in build/dist-release"
build_exe "$root" "$root/build/dist-release"
exe=$root/build/dist-release/app/Lumaroth.exe

if [ "$check" = 1 ]; then
    echo "== building it again from a copy of the sources in $tmp/copy"
    mkdir -p "$tmp/copy/src"
    git ls-files -z | while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -T - -cf - | tar -xf - -C "$tmp/copy/src"
    build_exe "$tmp/copy/src" "$tmp/copy/build"
    package "$exe" "$tmp/a" 0
    package "$tmp/copy/build/app/Lumaroth.exe" "$tmp/b" 0
    same=1
    for f in stage/Lumaroth.exe "$zip" "$setup"; do
        a=$(sha256sum < "$tmp/a/$f" | cut -d' ' -f1)
        b=$(sha256sum < "$tmp/b/$f" | cut -d' ' -f1)
        printf '   %-28s %s\n   %-28s %s\n' "$(basename "$f")" "$a" "  (second build)" "$b"
        [ "$a" = "$b" ] || same=0
    done
    if [ "$same" = 0 ]; then
        echo "release: the two builds differ: not reproducible, no dist/ written" >&2
        exit 1
    fi
    echo "== the two builds are byte-identical (unsigned)"
fi

echo "== packaging into dist/"
rm -rf dist
package "$exe" "$tmp/dist" "$signing"
mkdir -p dist
cp "$tmp/dist/$setup" "$tmp/dist/$zip" dist/
# Signed files reach this point only verified: tools/sign.sh checks each
# signature it makes.
(cd dist && sha256sum "$setup" "$zip" > SHA256SUMS)
sha=$(sha256sum < "dist/$setup" | cut -d' ' -f1 | tr a-f A-F)
if [ "$dirty" = 1 ]; then
    echo "== dist/ (NOT A RELEASE: uncommitted changes on $commit; no winget manifests)"
    (cd dist && cat SHA256SUMS)
    exit 0
fi

manifests=dist/winget/manifests/v/Vexlumen/Lumaroth/$version
mkdir -p "$manifests"
head="PackageIdentifier: Vexlumen.Lumaroth
PackageVersion: $version"
tail_of() { printf 'ManifestType: %s\nManifestVersion: 1.6.0\n' "$1"; }
{ echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.1.6.0.schema.json"
  echo "$head"; echo "DefaultLocale: en-US"; tail_of version; } > "$manifests/Vexlumen.Lumaroth.yaml"
{ echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.1.6.0.schema.json"
  echo "$head"
  cat <<YAML
PackageLocale: en-US
Publisher: Vexlumen
PublisherUrl: https://www.vexlumen.net/
PackageName: Lumaroth
PackageUrl: https://www.vexlumen.net/
License: Proprietary
ShortDescription: Tray client that keeps a Vexlumen dynamic DNS host name pointed at this computer's public address.
Tags:
- ddns
- dynamic-dns
- vexlumen
YAML
  tail_of defaultLocale; } > "$manifests/Vexlumen.Lumaroth.locale.en-US.yaml"
{ echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.1.6.0.schema.json"
  echo "$head"
  cat <<YAML
InstallerType: nullsoft
Scope: user
InstallModes:
- interactive
- silent
- silentWithProgress
UpgradeBehavior: install
ProductCode: Lumaroth
ReleaseDate: $(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)
AppsAndFeaturesEntries:
- DisplayName: Lumaroth
  Publisher: Vexlumen
  DisplayVersion: $version
  ProductCode: Lumaroth
Installers:
- Architecture: x64
  InstallerUrl: $download/$setup
  InstallerSha256: $sha
YAML
  tail_of installer; } > "$manifests/Vexlumen.Lumaroth.installer.yaml"

echo "== dist/ (Lumaroth $version)"
(cd dist && cat SHA256SUMS && ls -l "$setup" "$zip" | awk '{print "   " $5 " bytes  " $9}')
echo "== commit $commit"
if [ "$signing" = 1 ]; then
    echo "== signed with $LUMAROTH_SIGN_PFX and verified (Lumaroth.exe inside, then the setup exe)"
else
    echo "== UNSIGNED: no certificate given (LUMAROTH_SIGN_PFX, LUMAROTH_SIGN_PASSWORD_FILE)"
fi
echo "== winget manifests in $manifests (InstallerUrl $download/$setup)"
