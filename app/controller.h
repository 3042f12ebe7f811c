// The main window procedure: the hub that owns the timers and applies what the
// worker threads post back.
#pragma once

#include <windows.h>

// Caption, system menu and minimise box: no sizing border, no maximise box.
inline constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
