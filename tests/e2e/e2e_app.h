// Starting the real Lumaroth.exe and reading and working its windows from
// outside, the way a user's input reaches them: control texts, rectangles and
// styles, button clicks, message boxes, posted timer and tray messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/common/window_text.h"

// Lumaroth.exe: LUMAROTH_EXE (a Windows path), else next to the driver.
std::wstring lumarothExePath();

class LumarothProcess {
public:
    LumarothProcess() = default;
    LumarothProcess(const LumarothProcess&) = delete;
    LumarothProcess& operator=(const LumarothProcess&) = delete;
    // Ends the process if a journey left it running.
    ~LumarothProcess();

    bool start(const std::wstring& arguments = L"");
    // The process's "LumarothMainWindow" once it exists (shown or not).
    HWND waitForWindow(DWORD timeoutMs);
    // waitForWindow, then until the window is visible.
    HWND waitForVisibleWindow(DWORD timeoutMs);
    // True once the process ended within the time; its exit code in *code.
    bool waitForExit(DWORD timeoutMs, DWORD* code);
    // The tray menu's "Exit", then the exit code (or ~0u if it did not end).
    DWORD exitFromTray(DWORD timeoutMs);
    DWORD id() const { return info_.dwProcessId; }
    HWND window() const { return window_; }

private:
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
};

// --- Reading windows ------------------------------------------------------
std::wstring className(HWND window);
std::wstring itemText(HWND parent, int id);
// The window's rectangle in the client coordinates of reference.
RECT rectIn(HWND window, HWND reference);
SIZE clientSize(HWND window);
// Direct children in creation (z) order.
std::vector<HWND> childrenOf(HWND parent);
// The window with the keyboard focus in window's thread.
HWND focusOf(HWND window);
// Top-level windows of a class in any process of the prefix.
std::vector<HWND> topLevelWindows(const wchar_t* className, bool visibleOnly);
bool waitForItemText(HWND parent, int id, const std::wstring& text, DWORD timeoutMs);
bool waitForGone(HWND window, DWORD timeoutMs);

// --- Acting on windows ----------------------------------------------------
void setItemText(HWND parent, int id, const std::wstring& text);
// Clicks a button and waits until its command was handled (no box may open).
void clickButton(HWND parent, int id);
// Clicks a button without waiting (for commands that open a modal box).
void postClick(HWND parent, int id);
// One tick of a main-window timer, handled before this returns.
void sendTimer(HWND main, UINT_PTR timerId);
// The tray icon's callback as the shell sends it for a mouse message.
void postTrayMouse(HWND main, UINT mouseMessage);
// True when the shell holds the program's tray icon (kTrayIconId under main).
bool trayIconPresent(HWND main);
// The visible balloon tooltip of the tray, or nullptr.
HWND visibleBalloon();

// --- Message boxes --------------------------------------------------------
HWND waitForMessageBox(const std::wstring& caption, DWORD timeoutMs);
std::wstring messageBoxText(HWND box);
// The visible push buttons of a box, by id (IDOK, IDYES, IDHELP, ...).
std::vector<int> messageBoxButtons(HWND box);
bool isDefaultButton(HWND box, int id);
// Presses a box button and waits for the box to close.
bool pressMessageBoxButton(HWND box, int id, DWORD timeoutMs);
