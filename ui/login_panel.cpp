// The login panel: three fields for the account, "Login", and while signed in
// "Logout" and "Cancel".
#include "ui/login_panel.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "ui/controls.h"
#include "ui/drawing.h"
#include "ui/main_window.h"
#include "ui/window_constants.h"

void showLoginPanel(HWND window)
{
    clearMainWindow(window);
    appState.loginPanelShown = true;
    appState.loginErrorText.clear();

    appState.clientHeight = kClientHeight;
    resizeMainWindow(window);

    // Creation order is the Tab order.
    const bool signedIn = isSignedIn();
    const DWORD field = WS_TABSTOP | ES_AUTOHSCROLL;
    const ControlSpec head[] = {
        {IDC_LOGIN_TITLE, L"STATIC", L"Login", 0, 0, 12, 10, 120, 20, UiFont::Heading},
        {IDC_LOGOUT, L"BUTTON", L"Logout", WS_TABSTOP, 0, 394, 8, 64, 22, UiFont::Small},
    };
    // Each label right before its field: screen readers name a field after
    // the static created just before it.
    const ControlSpec body[] = {
        {0, L"STATIC", L"Hostname:", SS_RIGHT, 0, 87, 56, 70, 18, UiFont::Body},
        {IDC_EDIT_HOSTNAME, L"EDIT", appState.hostname.c_str(), field, WS_EX_CLIENTEDGE, 163, 53, 220, 22,
         UiFont::Body},
        {0, L"STATIC", L"Username:", SS_RIGHT, 0, 87, 91, 70, 18, UiFont::Body},
        {IDC_EDIT_USERNAME, L"EDIT", appState.username.c_str(), field, WS_EX_CLIENTEDGE, 163, 88, 220, 22,
         UiFont::Body},
        {0, L"STATIC", L"Key:", SS_RIGHT, 0, 87, 126, 70, 18, UiFont::Body},
        {IDC_EDIT_KEY, L"EDIT", appState.updateKey.c_str(), field | ES_PASSWORD, WS_EX_CLIENTEDGE, 163, 123, 220, 22,
         UiFont::Body},
    };
    createControl(window, head[0]);
    if (signedIn)
        createControl(window, head[1]);
    for (const ControlSpec& row : body)
        createControl(window, row);
    // No more than submitLogin reads: a longer paste would be cut silently.
    for (int id : {IDC_EDIT_HOSTNAME, IDC_EDIT_USERNAME, IDC_EDIT_KEY})
        SendDlgItemMessageW(window, id, EM_LIMITTEXT, kLoginFieldBufferChars - 1, 0);
    if (signedIn) {
        createControl(window, {IDC_LOGIN, L"BUTTON", L"Login", WS_TABSTOP, 0, 140, 205, 90, 26, UiFont::Body});
        createControl(window, {IDC_CANCEL, L"BUTTON", L"Cancel", WS_TABSTOP, 0, 240, 205, 90, 26, UiFont::Body});
    } else {
        createControl(window, {IDC_LOGIN, L"BUTTON", L"Login", WS_TABSTOP, 0, 190, 205, 90, 26, UiFont::Body});
    }

    SetFocus(GetDlgItem(window, appState.hostname.empty() ? IDC_EDIT_HOSTNAME : IDC_EDIT_USERNAME));

    createControl(window, {0, kFrameClass, nullptr, 0, WS_EX_TRANSPARENT, 75, 43, 320, 158, UiFont::None});
}
