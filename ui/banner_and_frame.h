// The two small window classes of the main window: the dark red autostart
// banner ("LumarothAlert") and the grey rounded info frame ("LumarothFrame").
#pragma once

#include <windows.h>

// Window procedures of the classes registered at start-up.
LRESULT CALLBACK alertWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK frameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
