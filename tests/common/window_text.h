// A window's text as its procedure answers WM_GETTEXT, in this process or in
// another: the journeys read Lumaroth.exe's controls, the in-process tests
// their own and the message boxes their flows open.
#pragma once

#include <windows.h>

#include <string>

// "<no answer>" when the window's thread does not answer within five seconds.
std::wstring windowText(HWND window);
