#include "core/app_state.h"

AppState appState;
HWND mainWindow = nullptr;

bool isSignedIn()
{
    return !appState.hostname.empty() && !appState.username.empty() && !appState.updateKey.empty();
}
