#include "app/login_flow.h"

#include <windows.h>

#include <new>
#include <string>
#include <utility>

#include "app/login_rules.h"
#include "core/app_messages.h"
#include "core/app_state.h"
#include "core/secure_wipe.h"
#include "core/system_error.h"
#include "core/text_encoding.h"
#include "res/resource.h"
#include "store/credential_store.h"
#include "store/state_store.h"
#include "ui/login_panel.h"
#include "ui/status_panel.h"
#include "update/result_messages.h"

namespace {

// Texts of the login and logout message boxes. The two that say the
// credential manager refused are followed by the system's reason.
constexpr wchar_t kLoginErrorCaption[] = L"Login Error";
constexpr wchar_t kAccountNotSavedText[] = L"Your account could not be saved in the Windows Credential Manager.";
constexpr wchar_t kLogoutCaption[] = L"Confirm Logout";
constexpr wchar_t kLogoutQuestion[] =
    L"Are you sure you want to log out?\n\nAll saved hostname and account information will be deleted.";
constexpr wchar_t kLogoutErrorCaption[] = L"Logout Error";
constexpr wchar_t kAccountNotDeletedText[] =
    L"Your account could not be removed from the Windows Credential Manager, so you are still logged in.";

std::wstring readField(int id)
{
    wchar_t buffer[kLoginFieldBufferChars] = {};
    const UINT length = GetDlgItemTextW(mainWindow, id, buffer, kLoginFieldBufferChars);
    std::wstring text(buffer, length);
    // The key field's text must not stay behind on the stack.
    SecureZeroMemory(buffer, sizeof buffer);
    return text;
}

void enableLoginButtons(BOOL enabled)
{
    for (int id : {IDC_LOGIN, IDC_CANCEL}) {
        HWND button = GetDlgItem(mainWindow, id);
        if (button)
            EnableWindow(button, enabled);
    }
}

void showLoginWarning(const std::wstring& text)
{
    MessageBoxW(mainWindow, text.c_str(), kLoginErrorCaption, MB_OK | MB_ICONWARNING);
}

// The login panel stays as typed and the account in use, stored and in
// memory, is still the previous one.
void reportSaveFailure(DWORD error)
{
    appState.loginErrorText = withSystemReason(kAccountNotSavedText, error);
    MessageBoxW(mainWindow, appState.loginErrorText.c_str(), kLoginErrorCaption, MB_OK | MB_ICONERROR);
    enableLoginButtons(TRUE);
}

void signIn(const LoginRequest& request, const UpdateResult& result)
{
    // Stored before anything in memory changes: an account that only lives
    // in memory is gone at the next start, and the one it replaced with it.
    const DWORD saved = saveAccount(request.hostname, request.username, request.updateKey);
    if (saved != ERROR_SUCCESS) {
        reportSaveFailure(saved);
        return;
    }
    appState.hostname = request.hostname;
    appState.username = request.username;
    wipeText(appState.updateKey);
    appState.updateKey = request.updateKey;

    const std::wstring ip = result.ip.empty() ? appState.lastIp : utf8ToWide(result.ip);
    appState.lastIp = ip;
    appState.updateStatus = UpdateStatus::Succeeded;
    appState.errorText.clear();
    // A login always counts as an address change, whatever the reply word.
    saveUpdateState(ip, true);
    // Updates still running for the account this one replaces are stale now.
    retireRunningWorkers();

    showStatusPanel(mainWindow);
    InvalidateRect(mainWindow, nullptr, TRUE);
    appState.secondsToNextCheck = kCountdownStart;
    startAccountTimers();
}

void reportLoginFailure(const UpdateResult& result)
{
    appState.loginErrorText = describeResult(result.code);
    // MB_HELP sends WM_HELP to the owner, which opens the setup guide while
    // the box stays open.
    MessageBoxW(mainWindow, appState.loginErrorText.c_str(), kLoginErrorCaption, MB_ICONERROR | MB_HELP);
    enableLoginButtons(TRUE);
}

// The account, its status and its times, as before the first login.
void forgetAccountInMemory()
{
    appState.hostname.clear();
    appState.username.clear();
    wipeText(appState.updateKey);
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
}

}  // namespace

void submitLogin()
{
    const std::wstring hostname = normalizeLoginField(readField(IDC_EDIT_HOSTNAME));
    const std::wstring username = normalizeLoginField(readField(IDC_EDIT_USERNAME));
    std::wstring typedKey = readField(IDC_EDIT_KEY);
    std::wstring updateKey = normalizeLoginField(typedKey);
    wipeText(typedKey);
    const std::wstring problem = loginInputProblem(hostname, username, updateKey);
    if (!problem.empty()) {
        wipeText(updateKey);
        showLoginWarning(problem);
        return;
    }

    std::unique_ptr<LoginRequest> request(
        new (std::nothrow) LoginRequest{{hostname, username, updateKey}, currentAccountGeneration()});
    wipeText(updateKey);
    if (!request)
        return;
    enableLoginButtons(FALSE);
    startLoginWorker(std::move(request));
}

void applyLoginResult(std::unique_ptr<LoginRequest> request, std::unique_ptr<UpdateResult> result)
{
    if (request && request->generation == currentAccountGeneration()) {
        appState.loginInFlight = false;
        KillTimer(mainWindow, IDT_LOGIN_DEADLINE);
        // Without a result the attempt still has to end, or the buttons would
        // stay disabled.
        const UpdateResult outcome = result ? *result : UpdateResult{};
        if (outcome.success) {
            dropChecksStartedSoFar();
            signIn(*request, outcome);
        } else {
            reportLoginFailure(outcome);
        }
    }
}

void endOverdueLogin()
{
    // KillTimer leaves a tick already queued: one from an attempt ended since
    // must not end the attempt now running before its time.
    if (appState.loginInFlight && !exchangeOverdue(appState.loginStartTick))
        return;
    KillTimer(mainWindow, IDT_LOGIN_DEADLINE);
    if (!appState.loginInFlight)
        return;
    appState.loginInFlight = false;
    // Before the box opens: its message loop may deliver the abandoned
    // worker's answer, which must find itself stale.
    abandonLoginAttempt();
    reportLoginFailure(UpdateResult{});
}

void logout()
{
    if (MessageBoxW(mainWindow, kLogoutQuestion, kLogoutCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    // While the credential stays, the next start signs in with it again: a
    // logout that cannot delete it changes nothing and says so.
    const DWORD deleted = deleteAccount();
    if (deleted != ERROR_SUCCESS && deleted != ERROR_NOT_FOUND) {
        MessageBoxW(mainWindow, withSystemReason(kAccountNotDeletedText, deleted).c_str(), kLogoutErrorCaption,
                    MB_OK | MB_ICONERROR);
        return;
    }
    stopAccountTimers();
    deleteStateValues();
    forgetAccountInMemory();
    // Whatever a worker started before now reports belongs to this account.
    retireRunningWorkers();

    showLoginPanel(mainWindow);
    InvalidateRect(mainWindow, nullptr, TRUE);
}
