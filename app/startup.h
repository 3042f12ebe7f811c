// Process start: the startup switch, the single-instance guard, the window
// classes, the main window and the message loop.
#pragma once

#include <windows.h>

bool hasStartupSwitch(const wchar_t* commandLine);
// True when another instance already runs (its window was brought forward).
bool activateRunningInstance(HANDLE* mutex);
// The program icon at size x size pixels (IDI_APPLICATION if it is missing).
HICON loadProgramIcon(HINSTANCE instance, int size);
bool registerWindowClasses(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);
int runMessageLoop();
