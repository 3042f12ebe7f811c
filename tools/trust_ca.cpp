// Adds a DER certificate to the LocalMachine "Root" store of the Wine prefix it
// runs in, so that the throwaway CA of a test or demo run is trusted there and
// nowhere else.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

#include "core/scoped_win.h"

namespace {

struct CloseCertStore {
    void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};
using ScopedCertStore = ScopedResource<HCERTSTORE, CloseCertStore>;

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fwprintf(stderr, L"usage: trustca CERT.der\n");
        return 2;
    }
    FILE* file = _wfopen(argv[1], L"rb");
    if (!file) {
        fwprintf(stderr, L"trustca: cannot open %ls\n", argv[1]);
        return 1;
    }
    std::vector<BYTE> der;
    BYTE chunk[4096];
    size_t read = 0;
    while ((read = fread(chunk, 1, sizeof chunk, file)) > 0)
        der.insert(der.end(), chunk, chunk + read);
    fclose(file);

    const ScopedCertStore store(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
    if (!store) {
        fwprintf(stderr, L"trustca: cannot open the Root store (%lu)\n", GetLastError());
        return 1;
    }
    if (!CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                          CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
        fwprintf(stderr, L"trustca: adding the certificate failed (%lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
