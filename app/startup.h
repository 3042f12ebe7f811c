// Process start: the startup switch, the single-instance guard, the window
// classes, the main window and the message loop.
#pragma once

#include <windows.h>

#include "core/scoped_win.h"

// Held by the running instance; its window gives it up when destroyed.
inline constexpr wchar_t kSingleInstanceMutex[] = L"Lumaroth_SingleInstance_Mutex";

bool hasStartupSwitch(const wchar_t* commandLine);
// True when another instance already runs (its window was brought forward);
// otherwise mutex holds this instance's single-instance mutex, if it could be
// made.
bool activateRunningInstance(ScopedHandle* mutex);
// The program icon at size x size pixels (IDI_APPLICATION if it is missing).
HICON loadProgramIcon(HINSTANCE instance, int size);
bool registerWindowClasses(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);
int runMessageLoop();
