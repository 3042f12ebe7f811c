// The notification-area icon, its balloon notice and its popup menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

void addTrayIcon(HWND window);
// The shell broadcasts "TaskbarCreated" when it (re)starts; it has forgotten
// every icon then, and this message is its only notice.
bool isTaskbarCreated(UINT message);
void readdTrayIcon();
// After a change of display scale: the image at the small-icon size of dpi,
// given to the shell in place of the last one, which is destroyed.
void reloadTrayIcon(int dpi);
// IDT_TRAY_RETRY (core/app_messages.h): one more NIM_ADD.
void retryTrayIcon();
// Any other timer's tick: sets IDT_TRAY_RETRY again when the retry is wanted
// but its timer could not be set.
void resumeTrayRetry();
void removeTrayIcon();
void hideToTray(HWND window);
void showFromTray(HWND window);
void handleTrayMessage(HWND window, LPARAM mouseMessage);

// What the icon holds, as handed to the shell.
const NOTIFYICONDATAW& trayIconData();
bool isTrayIconAdded();
bool wasTrayNoticeShown();
// The wait before the next NIM_ADD while the icon is not there (the period of
// IDT_TRAY_RETRY, or the one it is to get); 0 otherwise.
UINT trayRetryDelayMs();
