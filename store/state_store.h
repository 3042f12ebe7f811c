// The last confirmed IP and its two times, kept as REG_SZ values under
// HKCU\Software\Lumaroth and mirrored in appState.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

std::wstring readStateValue(const wchar_t* name);
// ERROR_SUCCESS or the registry's error.
DWORD writeStateValue(const wchar_t* name, const std::wstring& text);
std::optional<SYSTEMTIME> parseStateTime(const std::wstring& text);

void loadState();
// appState takes the new values whatever happens; the result is the first
// registry error, ERROR_SUCCESS when every value was written.
DWORD saveUpdateState(const std::wstring& ip, bool ipChanged);
// ERROR_SUCCESS once none of the three values is left (also when there was
// none), otherwise the first registry error.
DWORD deleteStateValues();
