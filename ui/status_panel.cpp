// The status panel: account, IP, countdown, status line, and the autostart
// banner while the program is not registered to start with the session.
#include "ui/status_panel.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "store/autostart.h"
#include "ui/controls.h"
#include "ui/drawing.h"
#include "ui/link.h"
#include "ui/main_window.h"
#include "ui/status_texts.h"
#include "ui/window_constants.h"

#include <string>

namespace {

constexpr int kBannerOffset = 40;

const int kBannerX = 11, kBannerY = 46, kBannerWidth = 448, kBannerHeight = 38;
const int kFrameX = 10, kFrameY = 45, kFrameWidth = 450, kFrameHeight = 161;

// Values are shown as typed or received: "&" in a user name, host name or
// server word is no mnemonic marker (SS_NOPREFIX). A value wider than its
// field (a long host name, a full IPv6 address) ends in an ellipsis rather
// than being cut without a mark.
void createRows(HWND window, int b)
{
    const DWORD value = SS_NOPREFIX | SS_ENDELLIPSIS;
    const std::wstring username = usernameText();
    const std::wstring hostname = hostnameText();
    const std::wstring ip = ipText();
    const std::wstring countdown = countdownText();
    const ControlSpec rows[] = {
        {IDC_LABEL_USERNAME, L"STATIC", L"Username:", SS_RIGHT, 0, 94, 53 + b, 86, 20, UiFont::Heading},
        {IDC_LABEL_HOSTNAME, L"STATIC", L"Hostname:", SS_RIGHT, 0, 94, 82 + b, 86, 20, UiFont::Heading},
        {IDC_LABEL_IP, L"STATIC", L"IP:", SS_RIGHT, 0, 94, 111 + b, 86, 20, UiFont::Heading},
        {IDC_LABEL_NEXT_CHECK, L"STATIC", L"Next Check:", SS_RIGHT, 0, 94, 140 + b, 86, 20, UiFont::Heading},
        {IDC_VALUE_USERNAME, L"STATIC", username.c_str(), value, 0, 185, 53 + b, 190, 20, UiFont::Body},
        {IDC_VALUE_HOSTNAME, L"STATIC", hostname.c_str(), value, 0, 185, 82 + b, 190, 20, UiFont::Body},
        {IDC_VALUE_IP, L"STATIC", ip.c_str(), value, 0, 185, 111 + b, 190, 20, UiFont::Body},
        {IDC_VALUE_NEXT_CHECK, L"STATIC", countdown.c_str(), 0, 0, 185, 140 + b, 190, 20, UiFont::Body},
        {IDC_UPDATE_IP, L"BUTTON", L"Update IP", WS_TABSTOP, 0, 144, 172 + b, 88, 26, UiFont::Heading},
        {IDC_EDIT_HOST, L"BUTTON", L"Edit Host", WS_TABSTOP, 0, 237, 172 + b, 88, 26, UiFont::Heading},
    };
    for (const ControlSpec& row : rows)
        createControl(window, row);
}

void createBanner(HWND window)
{
    // WS_EX_CONTROLPARENT lets Tab reach "Enable now" inside it.
    HWND banner = createControl(window, {0, kAlertClass, nullptr, 0, WS_EX_CONTROLPARENT, kBannerX, kBannerY,
                                         kBannerWidth, kBannerHeight, UiFont::None});
    if (!banner)
        return;
    // Children of the banner: their notifications reach the banner, which
    // forwards them to the main window.
    createControl(banner, {IDC_BANNER_TEXT, L"STATIC", L"\u26A0  Lumaroth is not set to run at Windows startup.", 0, 0,
                           10, 11, 310, 18, UiFont::Small});
    createControl(banner,
                  {IDC_ENABLE_AUTOSTART, L"BUTTON", L"Enable now", WS_TABSTOP, 0, 362, 7, 80, 24, UiFont::Small});
}

}  // namespace

void showStatusPanel(HWND window)
{
    clearMainWindow(window);
    appState.loginPanelShown = false;

    createControl(window, {IDC_STATUS_TITLE, L"STATIC", L"Status", 0, 0, 12, 10, 120, 20, UiFont::Heading});
    createControl(window, {IDC_ABOUT, L"BUTTON", L"About", WS_TABSTOP, 0, 400, 7, 58, 22, UiFont::Small});

    const bool autostart = isAutostartEnabled();
    const int b = autostart ? 0 : kBannerOffset;
    if (!autostart)
        createBanner(window);

    createRows(window, b);
    if (!isSignedIn() || appState.updateStatus == UpdateStatus::Updating || appState.updateInFlight)
        EnableWindow(GetDlgItem(window, IDC_UPDATE_IP), FALSE);

    appState.clientHeight = kClientHeight + b;
    resizeMainWindow(window);

    const std::wstring statusLine = initialStatusLineText();
    createControl(window, {IDC_STATUS_LINE, L"STATIC", statusLine.c_str(), SS_NOPREFIX, 0, 12, 222 + b, 280, 18,
                           UiFont::Small});
    makeKeyboardLink(createControl(window, {IDC_WEBSITE_LINK, L"STATIC", kWebsiteUrl, SS_NOTIFY | SS_RIGHT | WS_TABSTOP,
                                            0, 298, 222 + b, 160, 18, UiFont::Link}));

    // Last, so it lies below every control and takes no part in Tab order.
    createControl(window, {0, kFrameClass, nullptr, 0, WS_EX_TRANSPARENT, kFrameX, kFrameY, kFrameWidth,
                           kFrameHeight + b, UiFont::None});
}
