// Start with the user's session: one string value under the current user's
// Run key, whose command line carries the startup switch.
#pragma once

// The Run value, and the switch its command line carries so that a session
// start opens the program hidden.
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Lumaroth";
inline constexpr wchar_t kStartupSwitch[] = L"/startup";

void setAutostart(bool enabled);
bool isAutostartEnabled();
