// The account (host name, user name, update key) as one generic credential
// in the user's credential manager.
#pragma once

#include <windows.h>

#include <string>

void loadAccount();
// ERROR_SUCCESS once the credential holds this account, otherwise the
// credential manager's error; a failed write leaves the stored one as it was.
[[nodiscard]] DWORD saveAccount(const std::wstring& hostname, const std::wstring& username,
                                const std::wstring& updateKey);
// ERROR_SUCCESS, ERROR_NOT_FOUND when there was none, or the credential
// manager's error.
[[nodiscard]] DWORD deleteAccount();
