// The notification-area icon, its balloon notice and its popup menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

inline constexpr unsigned kTrayIconId = 1;
inline constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";
inline constexpr wchar_t kTrayTip[] = L"Vexlumen";
inline constexpr wchar_t kTrayNoticeTitle[] = L"Lumaroth is still running";
inline constexpr wchar_t kTrayNoticeText[] =
    L"The app is minimized to the system tray. Click the icon to reopen.";
inline constexpr unsigned kTrayNoticeTimeoutMs = 4000;
inline constexpr wchar_t kTrayMenuShow[] = L"Show Lumaroth";
inline constexpr wchar_t kTrayMenuExit[] = L"Exit";
// A failed NIM_ADD is tried again on this timer of the main window: at a
// session's start the program may run before the shell is ready, and the add
// is known to time out then.
inline constexpr UINT_PTR IDT_TRAY_RETRY = 1003;
inline constexpr UINT kTrayRetryPeriodMs = 2000;
inline constexpr int kTrayRetryAttempts = 60;     // two minutes

extern NOTIFYICONDATAW trayIcon;
extern bool trayIconAdded;
extern bool trayNoticeShown;
// Attempts left while the icon waits for a successful NIM_ADD; 0 otherwise.
extern int trayRetriesLeft;
// "TaskbarCreated": the shell broadcasts it when it (re)starts.
extern UINT taskbarCreatedMessage;

void addTrayIcon(HWND window);
void readdTrayIcon();
// IDT_TRAY_RETRY: one more NIM_ADD.
void retryTrayIcon();
void removeTrayIcon();
void hideToTray(HWND window);
void showFromTray(HWND window);
void handleTrayMessage(HWND window, LPARAM mouseMessage);
