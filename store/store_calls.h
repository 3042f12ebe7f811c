// The store's writes and deletes whose failure the tests must be able to
// bring about: Wine's credential manager and registry do not fail on demand.
#pragma once

#include <windows.h>
#include <wincred.h>

using CredentialWriter = BOOL(WINAPI*)(PCREDENTIALW credential, DWORD flags);
using CredentialDeleter = BOOL(WINAPI*)(LPCWSTR targetName, DWORD type, DWORD flags);
using RegistryValueWriter = LSTATUS(APIENTRY*)(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type,
                                               const BYTE* data, DWORD size);

struct StoreCalls {
    CredentialWriter writeCredential;    // the account's credential
    CredentialDeleter deleteCredential;  // the account's credential
    RegistryValueWriter writeRunValue;   // the autostart entry
};

// The tests' seam: CredWriteW, CredDeleteW and RegSetValueExW unless a test
// puts a failing stand-in in their place. Only tests write it.
extern StoreCalls gStoreCalls;
