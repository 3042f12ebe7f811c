// The last confirmed IP and its two times, kept as REG_SZ values under
// HKCU\Software\Lumaroth and mirrored in appState.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Where the state lives: HKCU\Software\Lumaroth and its three values.
inline constexpr wchar_t kStateKey[] = L"Software\\Lumaroth";
inline constexpr wchar_t kValueLastIp[] = L"ddns_last_ip";
inline constexpr wchar_t kValueLastTime[] = L"ddns_last_time";
inline constexpr wchar_t kValueIpChangeTime[] = L"ddns_ip_change_time";
inline constexpr unsigned long kStateReadBufferBytes = 2048;

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
