// Start with the user's session: one string value under the current user's
// Run key, whose command line carries the startup switch.
#pragma once

#include <windows.h>

// The switch the Run value's command line carries so that a session start
// opens the program hidden.
inline constexpr wchar_t kStartupSwitch[] = L"/startup";

// ERROR_SUCCESS once the Run value is there (enabled) or gone (disabled, also
// when there was none), otherwise the registry's error.
[[nodiscard]] DWORD setAutostart(bool enabled);
bool isAutostartEnabled();
