#include "app/controller.h"

#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/login_flow.h"
#include "app/single_instance.h"
#include "app/tray.h"
#include "app/workers.h"
#include "core/app_messages.h"
#include "core/app_state.h"
#include "core/scoped_win.h"
#include "core/system_error.h"
#include "core/text_encoding.h"
#include "res/resource.h"
#include "store/autostart.h"
#include "store/credential_store.h"
#include "store/state_store.h"
#include "ui/about_window.h"
#include "ui/dpi.h"
#include "ui/dpi_rebuild.h"
#include "ui/drawing.h"
#include "ui/login_panel.h"
#include "ui/main_window.h"
#include "ui/status_panel.h"
#include "ui/status_refresh.h"
#include "ui/window_constants.h"
#include "update/result_messages.h"
#include "update/update_types.h"

namespace {

// Opened by F1 in the "Login Error" box.
constexpr wchar_t kSetupGuideUrl[] = L"https://www.vexlumen.net/setup-guide";
constexpr wchar_t kConnectionLostText[] = L"No network connection";
// "Enable now" that could not write the Run value; the system's reason follows.
constexpr wchar_t kAutostartErrorCaption[] = L"Autostart Error";
constexpr wchar_t kAutostartFailedText[] = L"Lumaroth could not be set to run at Windows startup.";

void openWebPage(const wchar_t* address)
{
    ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

// After every panel rebuild outside creation the whole window is repainted.
void repaintMainWindow()
{
    InvalidateRect(mainWindow, nullptr, TRUE);
}

// The banner goes only once the Run value is written; otherwise it stays, and
// the box says why.
void enableAutostart()
{
    const DWORD status = setAutostart(true);
    if (status != ERROR_SUCCESS) {
        MessageBoxW(mainWindow, withSystemReason(kAutostartFailedText, status).c_str(), kAutostartErrorCaption,
                    MB_OK | MB_ICONERROR);
        return;
    }
    showStatusPanel(mainWindow);
    repaintMainWindow();
}

LRESULT onCreate(HWND window)
{
    mainWindow = window;
    createSharedGdiObjects(dpiForWindow(window));
    addTrayIcon(window);
    loadAccount();
    loadState();
    if (isSignedIn()) {
        showStatusPanel(window);
        startAccountTimers();
        startUpdate();
    } else {
        showLoginPanel(window);
    }
    return 0;
}

void onDestroy()
{
    // The panel's controls go with the window, after this handler.
    wipeKeyField(mainWindow);
    removeTrayIcon();
    deleteSharedGdiObjects();
    releaseSingleInstance();
    PostQuitMessage(0);
}

void onCountdownTick()
{
    if (appState.secondsToNextCheck > 0) {
        --appState.secondsToNextCheck;
        tickStatusPanel();
        return;
    }
    appState.secondsToNextCheck = kCountdownStart;
    tickStatusPanel();
    startUpdate();
}

void applyUpdateResult(unsigned ticket, std::unique_ptr<UpdateResult> result)
{
    if (!takeUpdateTicket(ticket))
        return;
    KillTimer(mainWindow, IDT_UPDATE_DEADLINE);
    // Without a result the update still has to end, or "Updating" would block
    // every later one.
    const UpdateResult outcome = result ? *result : UpdateResult{};
    appState.updateInFlight = false;

    if (outcome.success) {
        appState.online = true;
        dropChecksStartedSoFar();
        const std::wstring ip = outcome.ip.empty() ? appState.lastIp : utf8ToWide(outcome.ip);
        const bool ipChanged = outcome.code == kCodeGood;
        appState.lastIp = ip;
        appState.updateStatus = UpdateStatus::Succeeded;
        appState.errorText.clear();
        saveUpdateState(ip, ipChanged);
    } else {
        if (outcome.code == kCodeNetworkError)
            appState.online = false;
        appState.updateStatus = UpdateStatus::Failed;
        appState.errorText = describeResult(outcome.code);
    }
    refreshStatusPanel();
}

// checkNumber: the number the check was started with.
void applyNetworkState(bool reachable, uint32_t checkNumber)
{
    // Checks overlap when the server is slow and may answer out of order: a
    // late "unreachable" must not undo a newer "reachable".
    if (checkNumber < appState.checkFloor)
        return;
    appState.checkFloor = checkNumber;
    forgetCheck(checkNumber);
    if (appState.online && !reachable) {
        appState.online = false;
        appState.updateStatus = UpdateStatus::Failed;
        appState.errorText = kConnectionLostText;
        refreshStatusPanel();
    } else if (!appState.online && reachable) {
        appState.online = true;
        if (isSignedIn() && !appState.updateInFlight) {
            appState.secondsToNextCheck = kCountdownStart;
            startUpdate();
        }
    }
}

// Checks unanswered past the deadline count as "unreachable" before the next
// one starts.
void onConnectivityTick()
{
    while (const uint32_t number = takeOverdueCheck()) {
        applyNetworkState(false, number);
        // Its own answer, should it still come, is dropped by the floor.
        if (appState.checkFloor <= number)
            appState.checkFloor = number + 1;
    }
    startConnectivityCheck();
}

// KillTimer leaves a tick already queued: one from an update ended since must
// not end the update now running before its time.
void onUpdateDeadline()
{
    if (appState.updateInFlight && !exchangeOverdue(appState.updateStartTick))
        return;
    KillTimer(mainWindow, IDT_UPDATE_DEADLINE);
    // A missing result is applied as "network_error".
    if (appState.updateInFlight)
        applyUpdateResult(currentUpdateTicket(), nullptr);
}

void onTimer(UINT_PTR timer)
{
    switch (timer) {
    case IDT_COUNTDOWN:
        onCountdownTick();
        break;
    case IDT_CONNECTIVITY:
        onConnectivityTick();
        break;
    case IDT_UPDATE_DEADLINE:
        onUpdateDeadline();
        break;
    case IDT_LOGIN_DEADLINE:
        endOverdueLogin();
        break;
    case IDT_TRAY_RETRY:
        retryTrayIcon();
        return;
    default:
        break;
    }
    resumeTrayRetry();
}

// Enter and Escape reach the window as the dialog manager's IDOK and
// IDCANCEL (IsDialogMessageW in the message loop). They press a button: the
// focused push button, else "Login" on the login panel; "Cancel" for Escape.
int buttonForKey(HWND window, int key)
{
    if (key == IDCANCEL)
        return appState.loginPanelShown ? IDC_CANCEL : 0;
    HWND focus = GetFocus();
    if (focus && IsChild(window, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        return GetDlgCtrlID(focus);
    return appState.loginPanelShown ? IDC_LOGIN : 0;
}

void onCommand(HWND window, int id, int notification);

void pressButtonForKey(HWND window, int key)
{
    const int id = buttonForKey(window, key);
    HWND button = id ? GetDlgItem(window, id) : nullptr;
    // "Enable now" stands in the banner.
    if (!button && id) {
        HWND banner = FindWindowExW(window, nullptr, kAlertClass, nullptr);
        button = banner ? GetDlgItem(banner, id) : nullptr;
    }
    // A disabled button (a login attempt running) ignores the key as it
    // ignores a click.
    if (button && IsWindowEnabled(button) && IsWindowVisible(button))
        onCommand(window, id, BN_CLICKED);
}

// The buttons and the link of the two panels and the banner.
void onPanelCommand(int id, int notification)
{
    switch (id) {
    case IDC_UPDATE_IP:
        appState.secondsToNextCheck = kCountdownStart;
        startUpdate();
        break;
    case IDC_EDIT_HOST:
        showLoginPanel(mainWindow);
        repaintMainWindow();
        break;
    case IDC_LOGOUT:
        logout();
        break;
    case IDC_WEBSITE_LINK:
        if (notification == STN_CLICKED)
            openWebPage(kWebsiteUrl);
        break;
    case IDC_LOGIN:
        submitLogin();
        break;
    case IDC_CANCEL:
        showStatusPanel(mainWindow);
        repaintMainWindow();
        break;
    case IDC_ABOUT:
        openAboutWindow(mainWindow);
        break;
    case IDC_ENABLE_AUTOSTART:
        if (notification == BN_CLICKED)
            enableAutostart();
        break;
    default:
        break;
    }
}

void onCommand(HWND window, int id, int notification)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
        pressButtonForKey(window, id);
        break;
    case IDM_TRAY_SHOW:
        showFromTray(window);
        break;
    case IDM_TRAY_EXIT:
        removeTrayIcon();
        stopAccountTimers();
        DestroyWindow(mainWindow);
        break;
    default:
        onPanelCommand(id, notification);
        break;
    }
}

void onGetMinMaxInfo(HWND window, MINMAXINFO* info)
{
    const SIZE outer = windowSizeForClient(kClientWidth, appState.clientHeight, kMainWindowStyle, 0,
                                           dpiForWindow(window));
    const POINT size = {outer.cx, outer.cy};
    info->ptMinTrackSize = size;
    info->ptMaxTrackSize = size;
}

// Moved to a monitor of another scale (or the scale changed): the system
// suggests where the window goes; fonts and panel are made again for the new
// DPI, which sets the exact size, and the tray gets an image of its size.
void onDpiChanged(HWND window, int dpi, const RECT& suggested)
{
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    rebuildForDpi(window);
    repaintMainWindow();
    reloadTrayIcon(dpi);
}

// The posted records are adopted here, first thing: whatever the handler
// does, they are freed.
void onUpdateResult(WPARAM ticket, LPARAM result)
{
    applyUpdateResult(static_cast<unsigned>(ticket),
                      std::unique_ptr<UpdateResult>(reinterpret_cast<UpdateResult*>(result)));
}

void onLoginResult(WPARAM request, LPARAM result)
{
    applyLoginResult(std::unique_ptr<LoginRequest>(reinterpret_cast<LoginRequest*>(request)),
                     std::unique_ptr<UpdateResult>(reinterpret_cast<UpdateResult*>(result)));
}

// The messages of the window itself: its life, its size, its painting.
LRESULT onWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            hideToTray(window);
        return 0;
    case WM_CLOSE:
        hideToTray(window);
        return 0;
    case WM_PAINT:
        paintMainWindow(window);
        return 0;
    case WM_ERASEBKGND:
        return eraseMainWindow(window, reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLOREDIT:
        return colorEditControl(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC:
        return colorStaticControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_GETMINMAXINFO:
        onGetMinMaxInfo(window, reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (isTaskbarCreated(message)) {
        readdTrayIcon();
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HELP:
        openWebPage(kSetupGuideUrl);
        return TRUE;
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    case WM_TRAYICON:
        handleTrayMessage(window, lParam);
        return 0;
    case WM_UPDATE_RESULT:
        onUpdateResult(wParam, lParam);
        return 0;
    case WM_LOGIN_RESULT:
        onLoginResult(wParam, lParam);
        return 0;
    case WM_NETWORK_STATE:
        applyNetworkState(wParam != 0, static_cast<uint32_t>(lParam));
        return 0;
    default:
        return onWindowMessage(window, message, wParam, lParam);
    }
}
