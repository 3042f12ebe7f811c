// The account (host name, user name, update key) as one generic credential
// in the user's credential manager.
#pragma once

#include <windows.h>
#include <wincred.h>

#include <string>

#include "store/account_blob.h"

inline constexpr wchar_t kCredentialTarget[] = L"Vexlumen";
inline constexpr wchar_t kCredentialComment[] = L"Lumaroth Dynamic DNS Client";

// The credential manager's write and delete, CredWriteW and CredDeleteW unless
// a test puts a failing stand-in in their place.
using CredentialWriter = BOOL(WINAPI*)(PCREDENTIALW credential, DWORD flags);
using CredentialDeleter = BOOL(WINAPI*)(LPCWSTR targetName, DWORD type, DWORD flags);
extern CredentialWriter writeCredential;
extern CredentialDeleter deleteCredential;

void loadAccount();
// ERROR_SUCCESS once the credential holds this account, otherwise the
// credential manager's error; a failed write leaves the stored one as it was.
DWORD saveAccount(const std::wstring& hostname, const std::wstring& username, const std::wstring& updateKey);
// ERROR_SUCCESS, ERROR_NOT_FOUND when there was none, or the credential
// manager's error.
DWORD deleteAccount();
