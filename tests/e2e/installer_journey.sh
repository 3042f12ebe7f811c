#!/usr/bin/env bash
# The installer journey: signs a copy of the setup exe with a certificate made
# here (a throwaway root and a code-signing certificate under it), which must
# not pass as a release's signature, only as a test signature; checks it,
# then runs the journey with that copy:
#   installer_journey.sh SETUP_EXE DRIVER_EXE LUMAROTH_EXE
# First it reads the import table of the Lumaroth.exe the setup installs.
set -euo pipefail
setup=${1:?usage: installer_journey.sh SETUP_EXE DRIVER_EXE LUMAROTH_EXE}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Windows looks for a DLL that is not a KnownDLL in the exe's own folder
# first. Plain imports: only the KnownDLLs of Windows 7 and of Windows 10 and
# later, and comctl32, which the manifest's dependency on common controls 6
# takes from the side-by-side store. Every other DLL is delay-loaded from
# System32, after SetDefaultDllDirectories when the system has it.
known=" advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32 oleaut32 
        psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32 "
exe=${3:?}
for dll in $(x86_64-w64-mingw32-objdump -p "$exe" |
             awk '/^The Import Tables/ {on = 1; next} /^The / {on = 0} on && /DLL Name:/ {print tolower($3)}'); do
    name=${dll%.dll}
    if [ "$name" = comctl32 ]; then
        grep -q 'Microsoft.Windows.Common-Controls' "$exe" && continue
    fi
    [[ $known == *" $name "* ]] ||
        { echo "installer_journey: $dll is a plain import of Lumaroth.exe, searched beside the exe first" >&2; exit 1; }
done
grep -q 'SetDefaultDllDirectories' "$exe" ||
    { echo "installer_journey: Lumaroth.exe does not restrict later DLL loads (SetDefaultDllDirectories)" >&2; exit 1; }
echo "installer_journey: Lumaroth.exe imports only KnownDLLs and the side-by-side comctl32"
source "$here/../harness/prefix.sh"
: "${LUMAROTH_RUN_DIR:?run the journeys through tools/test.sh}"
work=$LUMAROTH_RUN_DIR/signing
rm -rf "$work" && mkdir -p "$work" && cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days 2 \
    -subj "/CN=Lumaroth Throwaway Root" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Lumaroth Throwaway Signer" 2>/dev/null
printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' > signer.ext
openssl x509 -req -in signer.csr -CA root.pem -CAkey root.key -set_serial 1 -days 2 -extfile signer.ext \
    -out signer.pem 2>/dev/null
head -c 24 /dev/urandom | base64 > password
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile root.pem -passout file:password -out signer.pfx

cp "$setup" setup.exe
if osslsigncode verify -CAfile root.pem -in setup.exe >/dev/null 2>&1; then
    echo "installer_journey: the unsigned setup passed the check" >&2
    exit 1
fi
# A release's signature counts only against the system's roots: the
# throwaway root inside the PKCS#12 file does not make it pass.
export LUMAROTH_SIGN_PFX=signer.pfx LUMAROTH_SIGN_PASSWORD_FILE=password
cp setup.exe release.exe
if "$here/../../tools/sign.sh" release.exe > release.out 2>&1; then
    cat release.out
    echo "installer_journey: a throwaway certificate passed as a release signature" >&2
    exit 1
fi
"$here/../../tools/sign.sh" --test-root root.pem setup.exe > sign.out
cat sign.out
grep -q '^test signature' sign.out && ! grep -q verified sign.out || { echo "installer_journey: not called a test signature" >&2; exit 1; }
osslsigncode verify -CAfile root.pem -in setup.exe > verify.out 2>&1 || { cat verify.out; exit 1; }
grep -q 'Lumaroth Throwaway Signer' verify.out || { cat verify.out; exit 1; }
echo "installer_journey: test signature of the setup exe checked against the throwaway root"

# A folder another user owns: Wine names the owner of a file of another Unix
# user "someone else" (it cannot show Windows owners otherwise).
mkdir -p owned-by-another
chown 65534 owned-by-another 2>/dev/null || sudo -n chown 65534 owned-by-another ||
    { echo "installer_journey: cannot give a folder to another user (needs root or sudo)" >&2; exit 1; }
export E2E_OTHER_USERS_FOLDER
E2E_OTHER_USERS_FOLDER=$(winpath "$work/owned-by-another")

export E2E_SETUP_EXE
E2E_SETUP_EXE=$(winpath "$work/setup.exe")
exec bash "$here/run_journey.sh" InstallUpgradeUninstall "$2" "$3"
