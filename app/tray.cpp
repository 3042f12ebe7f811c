#include "app/tray.h"

#include <cwchar>

#include "core/app_messages.h"
#include "core/scoped_win.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/program_icon.h"

namespace {

constexpr unsigned kTrayIconId = 1;
constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";
constexpr wchar_t kTrayTip[] = L"Vexlumen";
constexpr wchar_t kTrayNoticeTitle[] = L"Lumaroth is still running";
constexpr wchar_t kTrayNoticeText[] = L"The app is minimized to the system tray. Click the icon to reopen.";
constexpr unsigned kTrayNoticeTimeoutMs = 4000;
constexpr wchar_t kTrayMenuShow[] = L"Show Lumaroth";
constexpr wchar_t kTrayMenuExit[] = L"Exit";
// A failed NIM_ADD is tried again on IDT_TRAY_RETRY: at a session's start the
// program may run before the shell is ready, and the add is known to time
// out then. It goes on for as long as there is no icon (an autostarted window
// is hidden, and the icon is its only way back), each wait twice the last, up
// to about a minute. An add that timed out may have added the icon all the
// same, and every later add of it fails: NIM_MODIFY, which only an icon the
// shell holds takes, tells that case apart and ends the retry.
constexpr UINT kTrayRetryFirstDelayMs = 2000;
constexpr UINT kTrayRetryMaxDelayMs = 60000;

// The icon of the main window; the GUI thread alone touches these.
NOTIFYICONDATAW trayIcon = {};
bool trayIconAdded = false;
bool trayNoticeShown = false;
UINT retryDelayMs = 0;
// IDT_TRAY_RETRY runs; while the retry is wanted without it, the next tick
// of another of the window's timers sets it again.
bool retryTimerSet = false;
UINT taskbarCreatedMessage = 0;
// The image in trayIcon.hIcon, when it is the program's own. The shell keeps
// a copy of the image it was given: this one may go whenever it is replaced.
ScopedIcon trayImage;

template <size_t N>
void copyText(wchar_t (&field)[N], const wchar_t* text)
{
    std::wcsncpy(field, text, N - 1);
    field[N - 1] = L'\0';
}

void showTrayMenu(HWND window)
{
    const ScopedMenu menu(CreatePopupMenu());
    if (!menu)
        return;
    AppendMenuW(menu.get(), MF_STRING, IDM_TRAY_SHOW, kTrayMenuShow);
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, IDM_TRAY_EXIT, kTrayMenuExit);
    POINT cursor = {};
    GetCursorPos(&cursor);
    // Without it the menu stays open when the user clicks elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(menu.get(), TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);
}

void stopTrayRetry()
{
    if (retryDelayMs == 0)
        return;
    retryDelayMs = 0;
    retryTimerSet = false;
    KillTimer(trayIcon.hWnd, IDT_TRAY_RETRY);
}

// SetTimer on a running timer's id restarts it with the new period; when it
// fails, a running timer keeps its period.
void retryTrayIconIn(UINT delayMs)
{
    retryDelayMs = delayMs;
    if (SetTimer(trayIcon.hWnd, IDT_TRAY_RETRY, delayMs, nullptr))
        retryTimerSet = true;
}

// The small icon size of the display scale: the shell draws it unscaled.
void loadTrayImage(int dpi)
{
    trayImage = loadProgramIcon(GetModuleHandleW(nullptr), systemMetricForDpi(SM_CXSMICON, dpi));
    trayIcon.hIcon = ownedOrSharedFallback(trayImage);
}

bool iconIsThere()
{
    return Shell_NotifyIconW(NIM_ADD, &trayIcon) || Shell_NotifyIconW(NIM_MODIFY, &trayIcon);
}

// Without the icon a hidden window has no way back but a second start. Called
// at creation and when a shell has (re)started: a failed add waits the
// shortest time again, as a new shell is soon ready.
void addIconOrRetryLater()
{
    if (iconIsThere())
        stopTrayRetry();
    else
        retryTrayIconIn(kTrayRetryFirstDelayMs);
}

}  // namespace

void addTrayIcon(HWND window)
{
    ZeroMemory(&trayIcon, sizeof trayIcon);
    // The notice is shown once per icon, that is once per run.
    trayNoticeShown = false;
    // The XP layout (with guidItem): its balloon fields are all this icon uses,
    // and the shell accepts it on every version since.
    trayIcon.cbSize = NOTIFYICONDATAW_V3_SIZE;
    trayIcon.hWnd = window;
    trayIcon.uID = kTrayIconId;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = WM_TRAYICON;
    loadTrayImage(dpiForWindow(window));
    copyText(trayIcon.szTip, kTrayTip);
    addIconOrRetryLater();
    trayIconAdded = true;
    taskbarCreatedMessage = RegisterWindowMessageW(kTaskbarCreatedMessage);
}

bool isTaskbarCreated(UINT message)
{
    return message != 0 && message == taskbarCreatedMessage;
}

void readdTrayIcon()
{
    if (!trayIconAdded)
        return;
    // The display scale may have changed while there was no shell.
    loadTrayImage(dpiForWindow(trayIcon.hWnd));
    addIconOrRetryLater();
}

void reloadTrayIcon(int dpi)
{
    if (!trayIconAdded)
        return;
    loadTrayImage(dpi);
    // An icon the shell does not hold yet gets this image with the retry's add.
    Shell_NotifyIconW(NIM_MODIFY, &trayIcon);
}

void retryTrayIcon()
{
    if (retryDelayMs == 0)
        return;
    if (iconIsThere()) {
        stopTrayRetry();
        return;
    }
    const UINT doubled = retryDelayMs * 2;
    retryTrayIconIn(doubled < kTrayRetryMaxDelayMs ? doubled : kTrayRetryMaxDelayMs);
}

void resumeTrayRetry()
{
    if (retryDelayMs != 0 && !retryTimerSet)
        retryTrayIconIn(retryDelayMs);
}

void removeTrayIcon()
{
    stopTrayRetry();
    if (!trayIconAdded)
        return;
    Shell_NotifyIconW(NIM_DELETE, &trayIcon);
    trayIconAdded = false;
    trayIcon.hIcon = nullptr;
    trayImage.reset();
}

void hideToTray(HWND window)
{
    ShowWindow(window, SW_HIDE);
    if (trayNoticeShown)
        return;
    trayNoticeShown = true;

    NOTIFYICONDATAW notice = trayIcon;
    notice.uFlags |= NIF_INFO;
    copyText(notice.szInfoTitle, kTrayNoticeTitle);
    copyText(notice.szInfo, kTrayNoticeText);
    notice.dwInfoFlags = NIIF_INFO;
    notice.uTimeout = kTrayNoticeTimeoutMs;
    Shell_NotifyIconW(NIM_MODIFY, &notice);
}

void showFromTray(HWND window)
{
    ShowWindow(window, SW_SHOW);
    // A window hidden by minimising is still minimised.
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

void handleTrayMessage(HWND window, LPARAM mouseMessage)
{
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        showFromTray(window);
        break;
    case WM_RBUTTONUP:
        showTrayMenu(window);
        break;
    default:
        break;
    }
}

const NOTIFYICONDATAW& trayIconData()
{
    return trayIcon;
}

bool isTrayIconAdded()
{
    return trayIconAdded;
}

bool wasTrayNoticeShown()
{
    return trayNoticeShown;
}

UINT trayRetryDelayMs()
{
    return retryDelayMs;
}
