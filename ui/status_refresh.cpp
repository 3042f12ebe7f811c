// Re-texting the status panel; never creates or destroys a control.
#include "core/app_state.h"
#include "core/control_ids.h"
#include "ui/panels.h"
#include "ui/status_texts.h"

#include <string>

namespace {

// A control that does not exist (no panel yet) is skipped.
void setText(int id, const std::wstring& text, bool invalidate)
{
    HWND control = GetDlgItem(mainWindow, id);
    if (!control)
        return;
    SetWindowTextW(control, text.c_str());
    if (invalidate)
        InvalidateRect(control, nullptr, TRUE);
}

}  // namespace

void refreshStatusPanel()
{
    if (appState.loginPanelShown)
        return;
    setText(IDC_VALUE_USERNAME, usernameText(), true);
    setText(IDC_VALUE_HOSTNAME, hostnameText(), true);
    setText(IDC_VALUE_IP, ipText(), true);

    const bool updating = appState.updateStatus == UpdateStatus::Updating;
    if (HWND button = GetDlgItem(mainWindow, IDC_UPDATE_IP)) {
        EnableWindow(button, isSignedIn() && !updating);
        SetWindowTextW(button, updating ? L"Updating..." : L"Update IP");
    }

    setText(IDC_STATUS_LINE, refreshedStatusLineText(), true);
}

void tickStatusPanel()
{
    if (appState.loginPanelShown)
        return;
    if (isSignedIn())
        setText(IDC_VALUE_NEXT_CHECK, countdownText(), false);
    std::wstring line;
    if (tickedStatusLineText(line))
        setText(IDC_STATUS_LINE, line, true);
}
