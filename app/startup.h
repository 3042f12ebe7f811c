// Process start: the startup switch, the single-instance guard, the window
// classes, the main window and the message loop.
#pragma once

#include <windows.h>

#include "core/scoped_win.h"

bool hasStartupSwitch(const wchar_t* commandLine);
// True when another instance already runs (its window was brought forward);
// otherwise mutex holds this instance's single-instance mutex, if it could be
// made.
[[nodiscard]] bool activateRunningInstance(ScopedHandle* mutex);
[[nodiscard]] bool registerWindowClasses(HINSTANCE instance);
[[nodiscard]] HWND createMainWindow(HINSTANCE instance);
int runMessageLoop();
