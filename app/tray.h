// The notification-area icon, its balloon notice and its popup menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

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
