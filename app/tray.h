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

extern NOTIFYICONDATAW trayIcon;
extern bool trayIconAdded;
extern bool trayNoticeShown;
// "TaskbarCreated": the shell broadcasts it when it (re)starts.
extern UINT taskbarCreatedMessage;

void addTrayIcon(HWND window);
void readdTrayIcon();
void removeTrayIcon();
void hideToTray(HWND window);
void showFromTray(HWND window);
void handleTrayMessage(HWND window, LPARAM mouseMessage);
