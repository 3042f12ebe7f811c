// Re-texting the status panel; never creates or destroys a control.
#include "ui/status_refresh.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "ui/status_texts.h"

#include <string>

namespace {

const int kStatusTextChars = 256;

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

// A static control repaints itself on every WM_SETTEXT, even of the text it
// already shows.
bool showsText(int id, const std::wstring& text)
{
    // A longer text than the buffer holds never compares equal: it is set.
    wchar_t shown[kStatusTextChars] = {};
    HWND control = GetDlgItem(mainWindow, id);
    return control && GetWindowTextW(control, shown, kStatusTextChars) >= 0 && text == shown;
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
        // A connection loss replaces "Updating..." while the update still
        // runs; a press would do nothing until its result is applied.
        EnableWindow(button, isSignedIn() && !updating && !appState.updateInFlight);
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
    // The relative time in the line changes once a minute; a tick changes
    // nothing else in it (its colour follows the update status, which a tick
    // leaves alone).
    std::wstring line;
    if (tickedStatusLineText(line) && !showsText(IDC_STATUS_LINE, line))
        setText(IDC_STATUS_LINE, line, true);
}
