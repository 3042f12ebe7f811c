// The login and logout flows in-process: what "Login" refuses, what a login
// result changes, what a logout deletes, and that late results are dropped.
#include "app/login_flow.h"

#include <string>

#include "app_test_support.h"
#include "core/system_error.h"
#include "update/result_messages.h"

namespace {

using LoginTest = MainWindowTest;

void typeAccount(const std::wstring& hostname, const std::wstring& username, const std::wstring& key)
{
    setControlText(IDC_EDIT_HOSTNAME, hostname);
    setControlText(IDC_EDIT_USERNAME, username);
    setControlText(IDC_EDIT_KEY, key);
}

// A paste goes through the edit's text limit; WM_SETTEXT would not.
void pasteIntoControl(int id, const std::wstring& text)
{
    setControlText(id, L"");
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    ASSERT_NE(memory, nullptr);
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(mainWindow));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    SendMessageW(GetDlgItem(mainWindow, id), WM_PASTE, 0, 0);
}

SeenBox pressLoginExpectingBox(const wchar_t* caption, int answer)
{
    BoxAnswerer answerer(caption, answer);
    SendMessageW(mainWindow, WM_COMMAND, IDC_LOGIN, 0);
    return answerer.seen();
}

void sendLoginResult(LoginRequest* request, UpdateResult* result)
{
    SendMessageW(mainWindow, WM_LOGIN_RESULT, reinterpret_cast<WPARAM>(request), reinterpret_cast<LPARAM>(result));
}

TEST_F(LoginTest, RefusedInputShowsWarningAndStartsNothing)
{
    struct Case {
        const char* name;
        std::wstring hostname, username, key;
        const wchar_t* message;
    };
    // Three UTF-8 bytes per character: 900 + 1 + 900 + 1 + 759 = 2561 bytes.
    const std::wstring wide(300, L'\u4E00');
    const std::wstring longKey = std::wstring(253, L'\u4E00');
    const Case cases[] = {
        {"empty", L"", L"bob", L"key", L"All fields are required."},
        {"spaces-only", L"h.example.net", L"   ", L"key", L"All fields are required."},
        {"bar-in-host", L"h|x.example.net", L"bob", L"key",
         L"The hostname and username cannot contain the character |."},
        {"bar-in-user", L"h.example.net", L"b|ob", L"key",
         L"The hostname and username cannot contain the character |."},
        {"blob-too-long", wide, wide, longKey, L"The hostname, username and key are too long to be saved."},
    };
    createWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        typeAccount(c.hostname, c.username, c.key);
        const SeenBox box = pressLoginExpectingBox(L"Login Error", IDOK);
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_WARNING));
        EXPECT_TRUE(launchedWorkers().empty());
        EXPECT_TRUE(controlEnabled(IDC_LOGIN));
        EXPECT_EQ(controlText(IDC_EDIT_HOSTNAME), c.hostname);
        EXPECT_FALSE(isSignedIn());
    }
}

TEST_F(LoginTest, AcceptedInputIsTrimmedLoweredAndSentToOneWorker)
{
    struct Case {
        const char* name;
        std::wstring hostname, username, key;
        std::wstring sentHostname, sentUsername, sentKey;
        bool keyPasted = false;
    };
    // 900 + 1 + 900 + 1 + 758 = 2560 bytes: the largest blob the store takes.
    const std::wstring wide(300, L'\u4E00');
    const std::wstring longestKey = std::wstring(252, L'\u4E00') + L"kk";
    const Case cases[] = {
        {"spaces-and-capitals", L"  Home.Example.NET ", L" Alice", L"S3cret  ", L"home.example.net", L"alice",
         L"s3cret"},
        {"tab-and-nbsp-stay", L"\thome.example.net", L"alice\u00A0", L"k", L"\thome.example.net", L"alice\u00A0", L"k"},
        {"non-ascii-letters-stay", L"h\u00C4.example.net", L"\u00C9mile", L"K\u00DF", L"h\u00C4.example.net",
         L"\u00C9mile", L"k\u00DF"},
        {"bar-in-key", L"h.example.net", L"bob", L"a|b", L"h.example.net", L"bob", L"a|b"},
        {"blob-at-limit", wide, wide, longestKey, wide, wide, longestKey},
        // The field takes no more than is read, so the cut is visible there.
        {"pasted-600-key", L"h.example.net", L"bob", std::wstring(600, L'k'), L"h.example.net", L"bob",
         std::wstring(511, L'k'), true},
    };
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.name);
        createWindow();
        typeAccount(c.hostname, c.username, c.key);
        if (c.keyPasted) {
            pasteIntoControl(IDC_EDIT_KEY, c.key);
            EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(mainWindow, IDC_EDIT_KEY)), 511);
        }
        SendMessageW(mainWindow, WM_COMMAND, IDC_LOGIN, 0);
        ASSERT_EQ(launchCount(loginWorker), 1u);
        auto* request = lastLaunched<LoginRequest>(loginWorker);
        EXPECT_EQ(request->hostname, c.sentHostname);
        EXPECT_EQ(request->username, c.sentUsername);
        EXPECT_EQ(request->updateKey, c.sentKey);
        EXPECT_EQ(request->generation, currentAccountGeneration());
        EXPECT_FALSE(controlEnabled(IDC_LOGIN));
        EXPECT_FALSE(isSignedIn());
        EXPECT_FALSE(credentialExists());
    });
}

TEST_F(LoginTest, SuccessfulLoginStoresAccountAndStartsTimers)
{
    struct Case {
        const char* code;
        const char* ip;
        const wchar_t* lastIp;
    };
    const Case cases[] = {{"good", "203.0.113.7", L"203.0.113.7"}, {"nochg", "", L"198.51.100.4"}};
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.code);
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), writeStateValue(kValueLastIp, L"198.51.100.4"));
        createWindow();
        const unsigned generationBefore = currentAccountGeneration();
        sendLoginResult(new LoginRequest{L"home.example.net", L"alice", L"s3cret", currentAccountGeneration()},
                        new UpdateResult{true, c.code, c.ip});
        EXPECT_EQ(appState.hostname, L"home.example.net");
        EXPECT_EQ(appState.updateStatus, UpdateStatus::Succeeded);
        EXPECT_EQ(appState.lastIp, c.lastIp);
        EXPECT_TRUE(appState.hasIpChangeTime);
        EXPECT_TRUE(appState.hasLastUpdateTime);
        EXPECT_EQ(readStateValue(kValueLastIp), c.lastIp);
        EXPECT_FALSE(readStateValue(kValueIpChangeTime).empty());
        EXPECT_FALSE(readStateValue(kValueLastTime).empty());
        EXPECT_FALSE(appState.loginPanelShown);
        EXPECT_EQ(appState.secondsToNextCheck, 120);
        EXPECT_TRUE(timerRuns(IDT_COUNTDOWN));
        EXPECT_TRUE(timerRuns(IDT_CONNECTIVITY));
        EXPECT_NE(currentAccountGeneration(), generationBefore);
        // What was stored is what the next start loads.
        appState = AppState{};
        loadAccount();
        EXPECT_EQ(appState.username, L"alice");
        EXPECT_EQ(appState.updateKey, L"s3cret");
    });
}

TEST_F(LoginTest, FailedLoginShowsErrorAndKeepsStoredAccount)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
    typeAccount(L"home.example.net", L"alice", L"wrong");
    SendMessageW(mainWindow, WM_COMMAND, IDC_LOGIN, 0);
    EXPECT_FALSE(controlEnabled(IDC_CANCEL));
    LoginRequest* request = takeLoginRequest();
    ASSERT_NE(request, nullptr);

    BoxAnswerer answerer(L"Login Error", IDOK);
    sendLoginResult(request, new UpdateResult{false, "badauth", ""});
    const SeenBox box = answerer.seen();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, describeResult("badauth"));
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDHELP}));
    EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_ERROR));
    EXPECT_EQ(appState.loginErrorText, describeResult("badauth"));
    EXPECT_TRUE(controlEnabled(IDC_LOGIN));
    EXPECT_TRUE(controlEnabled(IDC_CANCEL));
    EXPECT_EQ(controlText(IDC_EDIT_KEY), L"wrong");
    EXPECT_EQ(appState.updateKey, L"s3cret");
    EXPECT_TRUE(timerRuns(IDT_COUNTDOWN));
    appState = AppState{};
    loadAccount();
    EXPECT_EQ(appState.updateKey, L"s3cret");
}

// The service took the account but the credential manager did not: signing in
// would lose it at the next start. The panel stays as typed, and the account
// before it, stored and in memory, stays in use.
TEST_F(LoginTest, AccountThatCannotBeStoredDoesNotSignIn)
{
    struct Case {
        const char* name;
        bool signedInBefore;
    };
    const Case cases[] = {{"first-login", false}, {"replacing-an-account", true}};
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.name);
        if (c.signedInBefore) {
            createSignedInWindow();
            SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
        } else {
            createWindow();
        }
        const unsigned generationBefore = currentAccountGeneration();
        typeAccount(L"new.example.net", L"bob", L"n3w-key");
        SendMessageW(mainWindow, WM_COMMAND, IDC_LOGIN, 0);
        LoginRequest* request = takeLoginRequest();
        ASSERT_NE(request, nullptr);

        storeFailure() = ERROR_NO_SUCH_LOGON_SESSION;
        gStoreCalls.writeCredential = failCredentialWrite;
        BoxAnswerer answerer(L"Login Error", IDOK);
        sendLoginResult(request, new UpdateResult{true, "good", "203.0.113.7"});
        const SeenBox box = answerer.seen();
        ASSERT_TRUE(box.found);
        const std::wstring reason = systemErrorText(ERROR_NO_SUCH_LOGON_SESSION);
        EXPECT_EQ(box.text, L"Your account could not be saved in the Windows Credential Manager.\n\n" + reason);
        EXPECT_FALSE(reason.empty());
        EXPECT_NE(reason.back(), L'\n');
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_ERROR));

        EXPECT_TRUE(appState.loginPanelShown);
        EXPECT_EQ(controlText(IDC_EDIT_HOSTNAME), L"new.example.net");
        EXPECT_EQ(controlText(IDC_EDIT_KEY), L"n3w-key");
        EXPECT_TRUE(controlEnabled(IDC_LOGIN));
        EXPECT_EQ(currentAccountGeneration(), generationBefore);
        EXPECT_TRUE(readStateValue(kValueLastIp).empty());
        EXPECT_EQ(timerRuns(IDT_COUNTDOWN), c.signedInBefore);
        EXPECT_EQ(appState.hostname, c.signedInBefore ? L"home.example.net" : L"");
        EXPECT_EQ(appState.updateKey, c.signedInBefore ? L"s3cret" : L"");
        appState = AppState{};
        loadAccount();
        EXPECT_EQ(appState.updateKey, c.signedInBefore ? L"s3cret" : L"");
    });
}

TEST_F(LoginTest, LoginThatCannotStartOrHasNoResultEndsAsNetworkError)
{
    enum class How { RefuseThread, NoResult, Deadline, TooManyAlive };
    struct Case {
        const char* name;
        How how;
    };
    const Case cases[] = {{"no-thread", How::RefuseThread},
                          {"no-result", How::NoResult},
                          // The worker's success after its deadline changes nothing.
                          {"deadline", How::Deadline},
                          {"too-many-alive", How::TooManyAlive}};
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.name);
        createWindow();
        typeAccount(L"home.example.net", L"alice", L"s3cret");
        BoxAnswerer answerer(L"Login Error", IDOK);
        if (c.how == How::RefuseThread)
            gLaunchWorker = refuseLaunch;
        if (c.how == How::TooManyAlive)
            liveWorkersOf(loginWorker) = kMaxLiveExchangeWorkers;
        SendMessageW(mainWindow, WM_COMMAND, IDC_LOGIN, 0);
        // A failed launch posts the result a worker would.
        drainMessages();
        if (c.how == How::NoResult)
            sendLoginResult(takeLoginRequest(), nullptr);
        LoginRequest* late = nullptr;
        if (c.how == How::Deadline) {
            late = takeLoginRequest();
            ASSERT_NE(late, nullptr);
            runDeadlinePast(IDT_LOGIN_DEADLINE, appState.loginInFlight, appState.loginStartTick);
        }
        const SeenBox box = answerer.seen();
        liveWorkersOf(loginWorker) = 0;
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.text, describeResult("network_error"));
        EXPECT_TRUE(controlEnabled(IDC_LOGIN));
        EXPECT_FALSE(timerRuns(IDT_LOGIN_DEADLINE));
        if (late)
            sendLoginResult(late, new UpdateResult{true, "good", "203.0.113.7"});
        EXPECT_FALSE(isSignedIn());
        if (c.how == How::TooManyAlive)
            EXPECT_EQ(launchCount(loginWorker), 0u);
    });
}

TEST_F(LoginTest, LogoutAnsweredNoChangesNothing)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
    BoxAnswerer answerer(L"Confirm Logout", IDNO);
    SendMessageW(mainWindow, WM_COMMAND, IDC_LOGOUT, 0);
    const SeenBox box = answerer.seen();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, kLogoutQuestion);
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box.defaultButton, IDNO);
    EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_WARNING));
    EXPECT_TRUE(isSignedIn());
    EXPECT_TRUE(credentialExists());
    EXPECT_TRUE(timerRuns(IDT_COUNTDOWN));
}

// While the credential stays, the next start would sign in with it again: a
// logout that cannot delete it leaves everything as it was. One that finds no
// credential has nothing left to delete and goes on.
TEST_F(LoginTest, LogoutWhoseCredentialCannotBeDeletedStaysSignedIn)
{
    struct Case {
        const char* name;
        DWORD error;
        bool staysSignedIn;
    };
    const Case cases[] = {{"refused", ERROR_ACCESS_DENIED, true}, {"not-found", ERROR_NOT_FOUND, false}};
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.name);
        createSignedInWindow();
        SendMessageW(mainWindow, WM_UPDATE_RESULT, currentUpdateTicket(),
                     reinterpret_cast<LPARAM>(new UpdateResult{true, "good", "203.0.113.7"}));
        ASSERT_EQ(appState.lastIp, L"203.0.113.7");
        SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
        storeFailure() = c.error;
        gStoreCalls.deleteCredential = failCredentialDelete;
        BoxAnswerer confirm(L"Confirm Logout", IDYES);
        BoxAnswerer error(L"Logout Error", IDOK);
        SendMessageW(mainWindow, WM_COMMAND, IDC_LOGOUT, 0);
        ASSERT_TRUE(confirm.seen().found);
        const SeenBox box = error.seen();
        EXPECT_EQ(box.found, c.staysSignedIn);
        EXPECT_EQ(isSignedIn(), c.staysSignedIn);
        EXPECT_EQ(timerRuns(IDT_COUNTDOWN), c.staysSignedIn);
        EXPECT_EQ(readStateValue(kValueLastIp).empty(), !c.staysSignedIn);
        if (c.staysSignedIn) {
            EXPECT_EQ(box.text, L"Your account could not be removed from the Windows Credential Manager, so you are "
                                L"still logged in.\n\n" +
                                    systemErrorText(ERROR_ACCESS_DENIED));
            EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
            EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_ERROR));
            EXPECT_TRUE(credentialExists());
            EXPECT_EQ(appState.lastIp, L"203.0.113.7");
            EXPECT_TRUE(timerRuns(IDT_CONNECTIVITY));
        }
    });
}

TEST_F(LoginTest, LogoutDeletesAccountStateAndTimers)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_UPDATE_RESULT, currentUpdateTicket(),
                 reinterpret_cast<LPARAM>(new UpdateResult{true, "good", "203.0.113.7"}));
    ASSERT_FALSE(readStateValue(kValueLastIp).empty());
    SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
    BoxAnswerer answerer(L"Confirm Logout", IDYES);
    SendMessageW(mainWindow, WM_COMMAND, IDC_LOGOUT, 0);
    ASSERT_TRUE(answerer.seen().found);

    EXPECT_FALSE(credentialExists());
    for (const wchar_t* name : {kValueLastIp, kValueLastTime, kValueIpChangeTime})
        EXPECT_TRUE(readStateValue(name).empty()) << name;
    EXPECT_FALSE(isSignedIn());
    EXPECT_TRUE(appState.lastIp.empty());
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Idle);
    EXPECT_FALSE(appState.hasLastUpdateTime);
    EXPECT_FALSE(appState.hasIpChangeTime);
    EXPECT_EQ(appState.secondsToNextCheck, 120);
    EXPECT_TRUE(appState.online);
    EXPECT_TRUE(appState.loginPanelShown);
    EXPECT_EQ(controlText(IDC_EDIT_HOSTNAME), L"");
    EXPECT_EQ(GetDlgItem(mainWindow, IDC_LOGOUT), nullptr);
    EXPECT_FALSE(timerRuns(IDT_COUNTDOWN));
    EXPECT_FALSE(timerRuns(IDT_CONNECTIVITY));
}

// Workers started before a logout still answer; their results belong to the
// account that is gone and must not sign in again or write the registry.
TEST_F(LoginTest, ResultsStartedBeforeLogoutAreDropped)
{
    createSignedInWindow();
    auto* update = lastLaunched<UpdateRequest>(updateWorker);
    ASSERT_NE(update, nullptr);
    const unsigned updateTicketBefore = update->ticket;
    SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
    SendMessageW(mainWindow, WM_COMMAND, IDC_LOGIN, 0);
    LoginRequest* login = takeLoginRequest();
    ASSERT_NE(login, nullptr);

    {
        BoxAnswerer answerer(L"Confirm Logout", IDYES);
        SendMessageW(mainWindow, WM_COMMAND, IDC_LOGOUT, 0);
        ASSERT_TRUE(answerer.seen().found);
    }
    SendMessageW(mainWindow, WM_UPDATE_RESULT, updateTicketBefore,
                 reinterpret_cast<LPARAM>(new UpdateResult{true, "good", "203.0.113.7"}));
    sendLoginResult(login, new UpdateResult{true, "good", "203.0.113.7"});

    EXPECT_FALSE(isSignedIn());
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Idle);
    EXPECT_TRUE(appState.lastIp.empty());
    EXPECT_FALSE(credentialExists());
    EXPECT_TRUE(readStateValue(kValueLastIp).empty());
    EXPECT_FALSE(timerRuns(IDT_COUNTDOWN));
}

TEST_F(LoginTest, UpdateOfReplacedAccountIsDroppedAfterLogin)
{
    createSignedInWindow();
    const unsigned oldTicket = lastLaunched<UpdateRequest>(updateWorker)->ticket;
    sendLoginResult(new LoginRequest{L"new.example.net", L"bob", L"k2", currentAccountGeneration()},
                    new UpdateResult{true, "good", "203.0.113.50"});
    SendMessageW(mainWindow, WM_UPDATE_RESULT, oldTicket,
                 reinterpret_cast<LPARAM>(new UpdateResult{false, "badauth", ""}));
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Succeeded);
    EXPECT_EQ(appState.hostname, L"new.example.net");
    EXPECT_EQ(appState.lastIp, L"203.0.113.50");
}

}  // namespace

namespace {

std::string openedUrls()
{
    std::string text;
    HANDLE file = CreateFileW(L"C:\\opened-urls.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// F1 in the error box (what its Help button does on Windows) opens the setup
// guide through the owner while the box stays open.
TEST_F(LoginTest, HelpInLoginErrorBoxOpensSetupGuide)
{
    DeleteFileW(L"C:\\opened-urls.txt");
    createWindow();
    std::atomic<bool> opened{false};
    std::thread helper([&] {
        const ULONGLONG deadline = GetTickCount64() + 15000;
        HWND box = nullptr;
        while (!box && GetTickCount64() < deadline) {
            box = FindWindowW(L"#32770", L"Login Error");
            if (!box)
                Sleep(20);
        }
        if (!box)
            return;
        PostMessageW(box, 0x004D /* WM_KEYF1 */, 0, 0);
        while (GetTickCount64() < deadline && !opened) {
            opened = openedUrls().find("https://www.vexlumen.net/setup-guide") != std::string::npos;
            if (!opened)
                Sleep(50);
        }
        PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    sendLoginResult(new LoginRequest{L"h.example.net", L"u", L"k", currentAccountGeneration()},
                    new UpdateResult{false, "badauth", ""});
    helper.join();
    EXPECT_TRUE(opened);
}

}  // namespace
