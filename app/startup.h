// Process start: the startup switch, the single-instance guard, the window
// classes, the main window and the message loop.
#pragma once

#include <windows.h>

// "/startup" (the one the Run value carries) is in store/autostart.h.
inline constexpr wchar_t kStartupSwitchAlt[] = L"-startup";
inline constexpr wchar_t kSingleInstanceMutex[] = L"Lumaroth_SingleInstance_Mutex";
inline constexpr wchar_t kMainWindowClass[] = L"LumarothMainWindow";
// InitCommonControlsEx: ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES.
inline constexpr unsigned long kCommonControlClasses = 0x40FF;

bool hasStartupSwitch(const wchar_t* commandLine);
// True when another instance already runs (its window was brought forward).
bool activateRunningInstance(HANDLE* mutex);
// The program icon at size x size pixels (IDI_APPLICATION if it is missing).
HICON loadProgramIcon(HINSTANCE instance, int size);
bool registerWindowClasses(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);
int runMessageLoop();
