// Start with the user's session: one string value under the current user's
// Run key, whose command line carries the startup switch.
#pragma once

#include <windows.h>

// The Run value, and the switch its command line carries so that a session
// start opens the program hidden.
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Lumaroth";
inline constexpr wchar_t kStartupSwitch[] = L"/startup";

// The write of the Run value: RegSetValueExW unless a test puts a failing
// stand-in in its place.
using RegistryValueWriter = LSTATUS(APIENTRY*)(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type,
                                               const BYTE* data, DWORD size);
extern RegistryValueWriter writeRunValue;

// ERROR_SUCCESS once the Run value is there (enabled) or gone (disabled, also
// when there was none), otherwise the registry's error.
DWORD setAutostart(bool enabled);
bool isAutostartEnabled();
