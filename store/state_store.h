// The last confirmed IP and its two times, kept as REG_SZ values under
// HKCU\Software\Lumaroth and mirrored in appState.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

std::wstring readStateValue(const wchar_t* name);
// ERROR_SUCCESS or the registry's error.
[[nodiscard]] DWORD writeStateValue(const wchar_t* name, const std::wstring& text);
std::optional<SYSTEMTIME> parseStateTime(const std::wstring& text);

void loadState();
// appState takes the new values whatever happens.
// No result: a refused value only costs the shown times until the next update.
void saveUpdateState(const std::wstring& ip, bool ipChanged);
// Deletes the three values, if there are any.
// No result: it runs once the account is gone, and the next login writes all three.
void deleteStateValues();
