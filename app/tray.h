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
// is known to time out then. It goes on for as long as there is no icon (an
// autostarted window is hidden, and the icon is its only way back), each wait
// twice the last, up to about a minute.
inline constexpr UINT_PTR IDT_TRAY_RETRY = 1003;
inline constexpr UINT kTrayRetryFirstDelayMs = 2000;
inline constexpr UINT kTrayRetryMaxDelayMs = 60000;

extern NOTIFYICONDATAW trayIcon;
extern bool trayIconAdded;
extern bool trayNoticeShown;
// The period of IDT_TRAY_RETRY while the icon waits for a successful
// NIM_ADD; 0 otherwise.
extern UINT trayRetryDelayMs;
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
