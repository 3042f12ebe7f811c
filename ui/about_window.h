// The About window: an owned pop-up that behaves modally by disabling the
// main window while it is open.
#pragma once

#include <windows.h>

// Brings an open About window to the front, or creates one centred over the
// main window and disables the main window.
void openAboutWindow(HWND owner);

LRESULT CALLBACK aboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
