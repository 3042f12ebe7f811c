#include "app/login_flow.h"

#include <windows.h>

#include <new>

#include "app/controller.h"
#include "core/app_messages.h"
#include "core/app_state.h"
#include "core/control_ids.h"
#include "core/text_encoding.h"
#include "store/credential_store.h"
#include "store/state_store.h"
#include "ui/login_panel.h"
#include "ui/panels.h"
#include "update/result_messages.h"

namespace {

std::wstring readField(int id)
{
    wchar_t buffer[kLoginFieldBufferChars] = {};
    const UINT length = GetDlgItemTextW(mainWindow, id, buffer, kLoginFieldBufferChars);
    return std::wstring(buffer, length);
}

void enableLoginButtons(BOOL enabled)
{
    for (int id : {IDC_LOGIN, IDC_CANCEL}) {
        HWND button = GetDlgItem(mainWindow, id);
        if (button) EnableWindow(button, enabled);
    }
}

void showLoginWarning(const std::wstring& text)
{
    MessageBoxW(mainWindow, text.c_str(), kLoginErrorCaption, MB_OK | MB_ICONWARNING);
}

void signIn(const LoginRequest& request, const UpdateResult& result)
{
    appState.hostname = request.hostname;
    appState.username = request.username;
    appState.updateKey = request.updateKey;
    saveAccount();

    const std::wstring ip = result.ip.empty() ? appState.lastIp : utf8ToWide(result.ip);
    appState.lastIp = ip;
    appState.updateStatus = UpdateStatus::Succeeded;
    appState.errorText.clear();
    // A login always counts as an address change, whatever the reply word.
    saveUpdateState(ip, true);
    // Updates still running for the account this one replaces are stale now.
    ++accountGeneration;

    showStatusPanel(mainWindow);
    InvalidateRect(mainWindow, nullptr, TRUE);
    appState.secondsToNextCheck = kCountdownStart;
    SetTimer(mainWindow, IDT_COUNTDOWN, kCountdownPeriodMs, nullptr);
    SetTimer(mainWindow, IDT_CONNECTIVITY, kConnectivityPeriodMs, nullptr);
}

void reportLoginFailure(const UpdateResult& result)
{
    appState.loginErrorText = describeResult(result.code);
    // MB_HELP sends WM_HELP to the owner, which opens the setup guide while
    // the box stays open.
    MessageBoxW(mainWindow, appState.loginErrorText.c_str(), kLoginErrorCaption,
                MB_ICONERROR | MB_HELP);
    enableLoginButtons(TRUE);
}

}  // namespace

std::wstring normalizeLoginField(const std::wstring& text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == L' ') --end;
    size_t start = 0;
    while (start < end && text[start] == L' ') ++start;
    std::wstring result = text.substr(start, end - start);
    // Only A-Z: what towlower does in the "C" locale, whatever the CRT.
    for (wchar_t& c : result)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return result;
}

std::wstring loginInputProblem(const std::wstring& hostname, const std::wstring& username,
                               const std::wstring& updateKey)
{
    if (hostname.empty() || username.empty() || updateKey.empty()) return kFieldsRequiredText;
    // The stored credential separates the fields with "|"; the key comes last,
    // so only the first two must be free of it.
    if (hostname.find(L'|') != std::wstring::npos || username.find(L'|') != std::wstring::npos)
        return kSeparatorInFieldText;
    if (wideToUtf8(hostname + L'|' + username + L'|' + updateKey).size() > kMaxCredentialBlobBytes)
        return kAccountTooLongText;
    return std::wstring();
}

void submitLogin()
{
    const std::wstring hostname = normalizeLoginField(readField(IDC_EDIT_HOSTNAME));
    const std::wstring username = normalizeLoginField(readField(IDC_EDIT_USERNAME));
    const std::wstring updateKey = normalizeLoginField(readField(IDC_EDIT_KEY));
    const std::wstring problem = loginInputProblem(hostname, username, updateKey);
    if (!problem.empty()) {
        showLoginWarning(problem);
        return;
    }

    auto* request =
        new (std::nothrow) LoginRequest{hostname, username, updateKey, accountGeneration};
    if (!request) return;
    enableLoginButtons(FALSE);
    startLoginWorker(request);
}

void applyLoginResult(LoginRequest* request, UpdateResult* result)
{
    if (request && request->generation == accountGeneration) {
        // Without a result the attempt still has to end, or the buttons would
        // stay disabled.
        const UpdateResult outcome = result ? *result : UpdateResult{};
        if (outcome.success)
            signIn(*request, outcome);
        else
            reportLoginFailure(outcome);
    }
    delete result;
    delete request;
}

void logout()
{
    if (MessageBoxW(mainWindow, kLogoutQuestion, kLogoutCaption,
                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    KillTimer(mainWindow, IDT_COUNTDOWN);
    KillTimer(mainWindow, IDT_CONNECTIVITY);
    deleteAccount();
    deleteStateValues();

    appState.hostname.clear();
    appState.username.clear();
    appState.updateKey.clear();
    appState.lastIp.clear();
    appState.errorText.clear();
    appState.loginErrorText.clear();
    appState.updateStatus = UpdateStatus::Idle;
    appState.lastUpdateTime = SYSTEMTIME{};
    appState.hasLastUpdateTime = false;
    appState.ipChangeTime = SYSTEMTIME{};
    appState.hasIpChangeTime = false;
    appState.secondsToNextCheck = kCountdownStart;
    appState.online = true;
    // Whatever a worker started before now reports belongs to this account.
    ++accountGeneration;

    showLoginPanel(mainWindow);
    InvalidateRect(mainWindow, nullptr, TRUE);
}
