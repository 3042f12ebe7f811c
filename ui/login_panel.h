// The login panel: where the account is entered or edited.
#pragma once

// A login field holds, and the login reads, at most this many UTF-16 units,
// NUL included.
inline constexpr int kLoginFieldBufferChars = 512;

#include <windows.h>

// Builds the login panel, pre-filled from the account in AppState; "Logout"
// and "Cancel" only when signed in.
void showLoginPanel(HWND window);
