// The rebuild for a new DPI: fonts, the shown panel, the About window.
#include "ui/dpi_rebuild.h"

#include "core/app_state.h"
#include "core/secure_wipe.h"
#include "res/resource.h"
#include "ui/about_window.h"
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "ui/login_panel.h"
#include "ui/main_window.h"
#include "ui/status_panel.h"

#include <string>

namespace {

// What the user has typed into the login panel and not yet submitted.
struct TypedLogin {
    std::wstring fields[3];
    int focusId = 0;
    bool buttonsEnabled = true;
    // The key field's copy must not linger in freed heap memory.
    ~TypedLogin()
    {
        for (std::wstring& field : fields)
            wipeText(field);
    }
};

const int kLoginFieldIds[3] = {IDC_EDIT_HOSTNAME, IDC_EDIT_USERNAME, IDC_EDIT_KEY};

TypedLogin readTypedLogin(HWND window)
{
    TypedLogin typed;
    for (int i = 0; i < 3; ++i) {
        HWND field = GetDlgItem(window, kLoginFieldIds[i]);
        const int length = field ? GetWindowTextLengthW(field) : 0;
        typed.fields[i].resize(static_cast<size_t>(length) + 1);
        if (field)
            typed.fields[i].resize(static_cast<size_t>(GetWindowTextW(field, &typed.fields[i][0], length + 1)));
        else
            typed.fields[i].clear();
    }
    HWND focus = GetFocus();
    typed.focusId = focus && IsChild(window, focus) ? GetDlgCtrlID(focus) : 0;
    HWND login = GetDlgItem(window, IDC_LOGIN);
    typed.buttonsEnabled = !login || IsWindowEnabled(login);
    return typed;
}

void restoreTypedLogin(HWND window, const TypedLogin& typed)
{
    for (int i = 0; i < 3; ++i)
        SetDlgItemTextW(window, kLoginFieldIds[i], typed.fields[i].c_str());
    // A login attempt still running keeps its buttons disabled.
    for (int id : {IDC_LOGIN, IDC_CANCEL})
        if (HWND button = GetDlgItem(window, id))
            EnableWindow(button, typed.buttonsEnabled);
    if (HWND focus = typed.focusId ? GetDlgItem(window, typed.focusId) : nullptr)
        SetFocus(focus);
}

}  // namespace

void rebuildForDpi(HWND window)
{
    const bool login = appState.loginPanelShown;
    const TypedLogin typed = login ? readTypedLogin(window) : TypedLogin();
    // No control may keep a font that is about to be deleted.
    clearMainWindow(window);
    deleteSharedGdiObjects();
    createSharedGdiObjects(dpiForWindow(window));
    if (login) {
        showLoginPanel(window);
        restoreTypedLogin(window, typed);
    } else {
        showStatusPanel(window);
    }
    relayoutAboutWindow(window);
}
