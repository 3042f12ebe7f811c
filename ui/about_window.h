// The About window: an owned pop-up that behaves modally by disabling the
// main window while it is open.
#pragma once

#include <windows.h>

// Brings an open About window to the front, or creates one centred over the
// main window and disables the main window.
void openAboutWindow(HWND owner);

// After the owner's DPI changed (and its fonts were made again): the open
// About window, if any, is laid out and placed again for the owner's DPI.
void relayoutAboutWindow(HWND owner);

LRESULT CALLBACK aboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
