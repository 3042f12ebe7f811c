// The login panel: where the account is entered or edited.
#pragma once

#include <windows.h>

// Builds the login panel, pre-filled from the account in AppState; "Logout"
// and "Cancel" only when signed in.
void showLoginPanel(HWND window);
