// The main window controller in-process: creation, timers, the posted
// results, the commands and the window's fixed size.
#include "app_test_support.h"

#include <commctrl.h>

#include "app/controller.h"
#include "core/system_error.h"
#include "store/autostart.h"
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "update/result_messages.h"

namespace {

using ControllerTest = MainWindowTest;

void sendUpdateResult(bool success, const char* code, const char* ip)
{
    SendMessageW(mainWindow, WM_UPDATE_RESULT, currentUpdateTicket(),
                 reinterpret_cast<LPARAM>(new UpdateResult{success, code, ip}));
}

// The key field as it went: the text put over its own, what was left of it
// and whether it could still undo.
struct KeyFieldEnd {
    std::wstring replacement;
    int length = -1;
    bool canUndo = true;
};

LRESULT CALLBACK watchKeyField(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* end = reinterpret_cast<KeyFieldEnd*>(data);
    if (message == EM_REPLACESEL)
        end->replacement = reinterpret_cast<const wchar_t*>(lParam);
    if (message == WM_DESTROY)
        *end = {end->replacement, GetWindowTextLengthW(field), SendMessageW(field, EM_CANUNDO, 0, 0) != 0};
    return DefSubclassProc(field, message, wParam, lParam);
}

// Types key over the one shown, which goes to the undo buffer; once destroy()
// is done the field went wiped: overwritten by as many other characters,
// emptied, nothing left to undo.
template <typename Destroy>
void expectKeyFieldWiped(const std::wstring& key, Destroy destroy)
{
    HWND field = GetDlgItem(mainWindow, IDC_EDIT_KEY);
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(key.c_str()));
    KeyFieldEnd end;
    ASSERT_TRUE(SetWindowSubclass(field, watchKeyField, 1, reinterpret_cast<DWORD_PTR>(&end)));
    destroy();
    EXPECT_EQ(end.replacement.size(), key.size());
    EXPECT_EQ(end.replacement.find_first_of(key), std::wstring::npos);
    EXPECT_EQ(end.length, 0);
    EXPECT_FALSE(end.canUndo);
}

TEST_F(ControllerTest, CreationWithoutAccountShowsLoginPanelAndStartsNothing)
{
    createWindow();
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    EXPECT_TRUE(appState.loginPanelShown);
    EXPECT_NE(GetDlgItem(mainWindow, IDC_EDIT_HOSTNAME), nullptr);
    EXPECT_EQ(GetDlgItem(mainWindow, IDC_CANCEL), nullptr);
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Idle);
    EXPECT_TRUE(launchedWorkers().empty());
    EXPECT_FALSE(timerRuns(IDT_COUNTDOWN));
    EXPECT_FALSE(timerRuns(IDT_CONNECTIVITY));
    EXPECT_TRUE(isTrayIconAdded());
}

TEST_F(ControllerTest, CreationWithAccountShowsStatusAndStartsFirstUpdate)
{
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), writeStateValue(kValueLastIp, L"198.51.100.4"));
    createSignedInWindow();
    EXPECT_FALSE(appState.loginPanelShown);
    EXPECT_EQ(appState.lastIp, L"198.51.100.4");
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Updating);
    EXPECT_EQ(controlText(IDC_VALUE_USERNAME), L"alice");
    ASSERT_EQ(launchCount(updateWorker), 1u);
    auto* request = lastLaunched<UpdateRequest>(updateWorker);
    EXPECT_EQ(request->hostname, L"home.example.net");
    EXPECT_EQ(request->username, L"alice");
    EXPECT_EQ(request->updateKey, L"s3cret");
    EXPECT_EQ(request->ticket, currentUpdateTicket());
    EXPECT_TRUE(timerRuns(IDT_COUNTDOWN));
    EXPECT_TRUE(timerRuns(IDT_CONNECTIVITY));
}

TEST_F(ControllerTest, CountdownTickDecrementsThenResetsAndStartsUpdate)
{
    struct Case {
        int32_t before;
        int32_t after;
        bool updateStarts;
    };
    const Case cases[] = {{5, 4, false}, {1, 0, false}, {0, 120, true}, {-3, 120, true}};
    createSignedInWindow();
    sendUpdateResult(true, "nochg", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        appState.updateStatus = UpdateStatus::Succeeded;
        appState.updateInFlight = false;
        const size_t updatesBefore = launchCount(updateWorker);
        appState.secondsToNextCheck = c.before;
        SendMessageW(mainWindow, WM_TIMER, IDT_COUNTDOWN, 0);
        EXPECT_EQ(appState.secondsToNextCheck, c.after);
        EXPECT_EQ(launchCount(updateWorker), updatesBefore + (c.updateStarts ? 1 : 0));
        EXPECT_EQ(appState.updateStatus, c.updateStarts ? UpdateStatus::Updating : UpdateStatus::Succeeded);
    }
}

TEST_F(ControllerTest, ExpiredCountdownDuringUpdateOnlyResets)
{
    createSignedInWindow();
    appState.secondsToNextCheck = 0;
    SendMessageW(mainWindow, WM_TIMER, IDT_COUNTDOWN, 0);
    EXPECT_EQ(appState.secondsToNextCheck, 120);
    EXPECT_EQ(launchCount(updateWorker), 1u);
    EXPECT_EQ(controlText(IDC_VALUE_NEXT_CHECK), L"02:00s");
}

TEST_F(ControllerTest, EveryConnectivityTickStartsACheck)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_TIMER, IDT_CONNECTIVITY, 0);
    SendMessageW(mainWindow, WM_TIMER, IDT_CONNECTIVITY, 0);
    SendMessageW(mainWindow, WM_TIMER, 4242, 0);
    EXPECT_EQ(launchCount(connectivityWorker), 2u);
}

TEST_F(ControllerTest, UpdateResultsChangeStateAndStoredValues)
{
    struct Case {
        const char* name;
        bool success;
        const char* code;
        const char* ip;
        UpdateStatus status;
        const wchar_t* lastIp;
        bool online;
        bool ipChangeMoves;
        bool updateTimeMoves;
    };
    const Case cases[] = {
        {"good", true, "good", "203.0.113.7", UpdateStatus::Succeeded, L"203.0.113.7", true, true, true},
        {"nochg-empty-ip", true, "nochg", "", UpdateStatus::Succeeded, L"198.51.100.4", true, false, true},
        {"badauth", false, "badauth", "", UpdateStatus::Failed, L"198.51.100.4", true, false, false},
        {"network", false, "network_error", "", UpdateStatus::Failed, L"198.51.100.4", false, false, false},
    };
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), writeStateValue(kValueLastIp, L"198.51.100.4"));
        createSignedInWindow();
        SendMessageW(mainWindow, WM_UPDATE_RESULT, currentUpdateTicket(),
                     reinterpret_cast<LPARAM>(new UpdateResult{c.success, c.code, c.ip}));
        EXPECT_EQ(appState.updateStatus, c.status);
        EXPECT_EQ(appState.lastIp, c.lastIp);
        EXPECT_EQ(appState.online, c.online);
        EXPECT_EQ(appState.hasIpChangeTime, c.ipChangeMoves);
        EXPECT_EQ(appState.hasLastUpdateTime, c.updateTimeMoves);
        EXPECT_EQ(readStateValue(kValueLastIp), c.lastIp);
        EXPECT_EQ(!readStateValue(kValueIpChangeTime).empty(), c.ipChangeMoves);
        EXPECT_EQ(appState.errorText, c.success ? L"" : describeResult(c.code));
        EXPECT_EQ(controlText(IDC_VALUE_IP), c.lastIp);
        EXPECT_TRUE(controlEnabled(IDC_UPDATE_IP));
    });
}

TEST_F(ControllerTest, PostedResultIsAppliedThroughTheQueue)
{
    createSignedInWindow();
    PostMessageW(mainWindow, WM_UPDATE_RESULT, currentUpdateTicket(),
                 reinterpret_cast<LPARAM>(new UpdateResult{true, "good", "203.0.113.9"}));
    ASSERT_TRUE(pumpUntil([] { return appState.updateStatus == UpdateStatus::Succeeded; }));
    EXPECT_EQ(controlText(IDC_VALUE_IP), L"203.0.113.9");
}

// A missing result must still end the update, or no later one could start.
TEST_F(ControllerTest, MissingUpdateResultEndsTheUpdateAsNetworkError)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_UPDATE_RESULT, currentUpdateTicket(), 0);
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Failed);
    EXPECT_EQ(appState.errorText, describeResult("network_error"));
    SendMessageW(mainWindow, WM_COMMAND, IDC_UPDATE_IP, 0);
    EXPECT_EQ(launchCount(updateWorker), 2u);
}

TEST_F(ControllerTest, UpdateThatCannotStartEndsAsNetworkError)
{
    gLaunchWorker = refuseLaunch;
    createSignedInWindow();
    // The failed launch posts the result a worker would.
    drainMessages();
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Failed);
    EXPECT_EQ(appState.errorText, describeResult("network_error"));
    EXPECT_FALSE(appState.online);
    EXPECT_EQ(controlText(IDC_STATUS_LINE), describeResult("network_error"));
    // Not stuck in "Updating": the next trigger tries again.
    gLaunchWorker = recordLaunch;
    SendMessageW(mainWindow, WM_COMMAND, IDC_UPDATE_IP, 0);
    EXPECT_EQ(launchCount(updateWorker), 1u);
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Updating);
}

// A worker that never answers, or one more beside those a stalled peer still
// holds: the update ends as "network_error" and the next trigger starts a
// fresh one, whose result is not mistaken for the late one.
TEST_F(ControllerTest, UpdateOverdueOrBeyondTheLiveWorkersEndsAsNetworkError)
{
    struct Case {
        const char* name;
        int liveBefore;
        size_t launched;
    };
    const Case cases[] = {{"deadline", 0, 1}, {"too-many-alive", kMaxLiveExchangeWorkers, 0}};
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.name);
        liveWorkersOf(updateWorker) = c.liveBefore;
        createSignedInWindow();
        liveWorkersOf(updateWorker) = 0;
        drainMessages();
        EXPECT_EQ(launchCount(updateWorker), c.launched);
        const unsigned lateTicket = c.launched ? lastLaunched<UpdateRequest>(updateWorker)->ticket : 0;
        if (c.launched) {
            EXPECT_FALSE(controlEnabled(IDC_UPDATE_IP));
            runDeadlinePast(IDT_UPDATE_DEADLINE, appState.updateInFlight, appState.updateStartTick);
        }
        EXPECT_FALSE(appState.updateInFlight);
        EXPECT_EQ(appState.updateStatus, UpdateStatus::Failed);
        EXPECT_EQ(controlText(IDC_STATUS_LINE), describeResult("network_error"));
        EXPECT_TRUE(controlEnabled(IDC_UPDATE_IP));
        EXPECT_FALSE(timerRuns(IDT_UPDATE_DEADLINE));

        SendMessageW(mainWindow, WM_COMMAND, IDC_UPDATE_IP, 0);
        ASSERT_EQ(launchCount(updateWorker), c.launched + 1);
        EXPECT_NE(lastLaunched<UpdateRequest>(updateWorker)->ticket, lateTicket);
        if (c.launched)
            SendMessageW(mainWindow, WM_UPDATE_RESULT, lateTicket,
                         reinterpret_cast<LPARAM>(new UpdateResult{true, "good", "203.0.113.66"}));
        EXPECT_TRUE(appState.updateInFlight);
        EXPECT_TRUE(appState.lastIp.empty());
        sendUpdateResult(true, "good", "203.0.113.7");
        EXPECT_EQ(appState.lastIp, L"203.0.113.7");
        // The result came first: no deadline is left to end a later update.
        EXPECT_FALSE(timerRuns(IDT_UPDATE_DEADLINE));
    });
}

// What a check finds is weighed against the results applied since it started:
// one started before a successful update or login cannot mark the connection
// lost; one unanswered past the deadline counts as "unreachable", and its
// late answer is dropped.
TEST_F(ControllerTest, CheckAnswersAreWeighedAgainstLaterResults)
{
    enum class Before { Nothing, UpdateSucceeded, LoginSucceeded, Overdue };
    struct Case {
        const char* name;
        bool checkFirst;  // the check starts before the result
        Before between;
        bool reachable;
        bool onlineAfter;
    };
    const Case cases[] = {
        {"lost-after-update", true, Before::UpdateSucceeded, false, true},
        {"lost-after-login", true, Before::LoginSucceeded, false, true},
        {"started-after-update", false, Before::UpdateSucceeded, false, false},
        {"overdue-late-reachable", true, Before::Overdue, true, false},
    };
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.name);
        createSignedInWindow();
        const auto startCheck = [] {
            SendMessageW(mainWindow, WM_TIMER, IDT_CONNECTIVITY, 0);
            return appState.lastCheckStarted;
        };
        const uint32_t early = c.checkFirst ? startCheck() : 0;
        if (c.between == Before::UpdateSucceeded)
            sendUpdateResult(true, "nochg", "203.0.113.7");
        if (c.between == Before::LoginSucceeded)
            SendMessageW(mainWindow, WM_LOGIN_RESULT,
                         reinterpret_cast<WPARAM>(
                             new LoginRequest{L"home.example.net", L"alice", L"s3cret", currentAccountGeneration()}),
                         reinterpret_cast<LPARAM>(new UpdateResult{true, "nochg", "203.0.113.7"}));
        if (c.between == Before::Overdue) {
            for (CheckOut& check : appState.checksOut)
                if (check.number == early)
                    check.startTick -= kWorkerDeadlineMs;
            startCheck();
            EXPECT_FALSE(appState.online);
            EXPECT_EQ(controlText(IDC_STATUS_LINE), L"No network connection");
            EXPECT_FALSE(controlEnabled(IDC_UPDATE_IP)) << "the first update still runs";
        }
        const uint32_t number = c.checkFirst ? early : startCheck();
        SendMessageW(mainWindow, WM_NETWORK_STATE, c.reachable ? 1 : 0, number);
        EXPECT_EQ(appState.online, c.onlineAfter);
        EXPECT_EQ(controlText(IDC_STATUS_LINE) == L"No network connection", !c.onlineAfter);
    });
}

// A peer that holds every connection keeps the checks' threads: no more start.
TEST_F(ControllerTest, NoCheckStartsWhileTheMostAreOut)
{
    struct Case {
        const char* name;
        int liveThreads;
        int unanswered;
    };
    const Case cases[] = {{"threads-alive", kMaxLiveConnectivityWorkers, 0}, {"answers-outstanding", 0, kMaxChecksOut}};
    forEachRow(cases, [&](const Case& c) {
        SCOPED_TRACE(c.name);
        createSignedInWindow();
        for (int i = 0; i < c.unanswered; ++i)
            SendMessageW(mainWindow, WM_TIMER, IDT_CONNECTIVITY, 0);
        const size_t before = launchCount(connectivityWorker);
        liveWorkersOf(connectivityWorker) = c.liveThreads;
        SendMessageW(mainWindow, WM_TIMER, IDT_CONNECTIVITY, 0);
        liveWorkersOf(connectivityWorker) = 0;
        EXPECT_EQ(launchCount(connectivityWorker), before);
        // An answer frees its place.
        if (c.unanswered)
            SendMessageW(mainWindow, WM_NETWORK_STATE, 1, appState.lastCheckStarted);
        SendMessageW(mainWindow, WM_TIMER, IDT_CONNECTIVITY, 0);
        EXPECT_EQ(launchCount(connectivityWorker), before + 1);
    });
}

TEST_F(ControllerTest, UpdateResultOfAnOlderGenerationIsDropped)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_UPDATE_RESULT, currentUpdateTicket() - 1,
                 reinterpret_cast<LPARAM>(new UpdateResult{true, "good", "203.0.113.7"}));
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Updating);
    EXPECT_TRUE(appState.lastIp.empty());
    EXPECT_TRUE(readStateValue(kValueLastIp).empty());
}

TEST_F(ControllerTest, NetworkStateActsOnlyOnChange)
{
    struct Case {
        const char* name;
        bool onlineBefore;
        UpdateStatus statusBefore;
        bool reachable;
        bool onlineAfter;
        UpdateStatus statusAfter;
        const wchar_t* errorAfter;
        size_t updatesStarted;
        uint32_t check;
    };
    const Case cases[] = {
        {"lost", true, UpdateStatus::Succeeded, false, false, UpdateStatus::Failed, L"No network connection", 0},
        {"lost-during-update", true, UpdateStatus::Updating, false, false, UpdateStatus::Failed,
         L"No network connection", 0},
        {"still-lost", false, UpdateStatus::Failed, false, false, UpdateStatus::Failed, L"earlier", 0},
        {"back", false, UpdateStatus::Failed, true, true, UpdateStatus::Updating, L"earlier", 1},
        {"back-during-update", false, UpdateStatus::Updating, true, true, UpdateStatus::Updating, L"earlier", 0},
        {"still-online", true, UpdateStatus::Succeeded, true, true, UpdateStatus::Succeeded, L"earlier", 0},
        // Checks answer out of order: an older "unreachable" after a newer
        // "reachable" changes nothing.
        {"newer-check-back", false, UpdateStatus::Failed, true, true, UpdateStatus::Updating, L"earlier", 1, 2},
        {"older-check-lost", true, UpdateStatus::Succeeded, false, true, UpdateStatus::Succeeded, L"earlier", 0, 1},
    };
    createSignedInWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freeLaunchedWorkers();
        appState.online = c.onlineBefore;
        appState.updateStatus = c.statusBefore;
        appState.updateInFlight = c.statusBefore == UpdateStatus::Updating;
        appState.errorText = L"earlier";
        appState.secondsToNextCheck = 37;
        SendMessageW(mainWindow, WM_NETWORK_STATE, c.reachable ? 1 : 0, c.check);
        EXPECT_EQ(appState.online, c.onlineAfter);
        EXPECT_EQ(appState.updateStatus, c.statusAfter);
        EXPECT_EQ(appState.errorText, c.errorAfter);
        EXPECT_EQ(launchCount(updateWorker), c.updatesStarted);
        EXPECT_EQ(appState.secondsToNextCheck, c.updatesStarted ? 120 : 37);
    }
}

TEST_F(ControllerTest, NetworkErrorThenConnectionBackStartsFreshUpdate)
{
    createSignedInWindow();
    sendUpdateResult(false, "network_error", "");
    appState.secondsToNextCheck = 50;
    SendMessageW(mainWindow, WM_NETWORK_STATE, 1, 0);
    EXPECT_TRUE(appState.online);
    EXPECT_EQ(appState.secondsToNextCheck, 120);
    EXPECT_EQ(launchCount(updateWorker), 2u);
    EXPECT_EQ(controlText(IDC_STATUS_LINE), L"Updating...");
}

TEST_F(ControllerTest, UpdateIpResetsCountdownButNeverRunsTwoUpdates)
{
    createSignedInWindow();
    appState.secondsToNextCheck = 10;
    SendMessageW(mainWindow, WM_COMMAND, IDC_UPDATE_IP, 0);
    EXPECT_EQ(appState.secondsToNextCheck, 120);
    EXPECT_EQ(launchCount(updateWorker), 1u);
    sendUpdateResult(true, "nochg", "203.0.113.7");
    SendMessageW(mainWindow, WM_COMMAND, IDC_UPDATE_IP, 0);
    EXPECT_EQ(launchCount(updateWorker), 2u);
    EXPECT_EQ(controlText(IDC_UPDATE_IP), L"Updating...");
    EXPECT_FALSE(controlEnabled(IDC_UPDATE_IP));
}

TEST_F(ControllerTest, EditHostAndCancelSwitchPanelsWhileTimersRun)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
    EXPECT_TRUE(appState.loginPanelShown);
    EXPECT_EQ(controlText(IDC_EDIT_HOSTNAME), L"home.example.net");
    EXPECT_NE(GetDlgItem(mainWindow, IDC_CANCEL), nullptr);
    EXPECT_TRUE(timerRuns(IDT_COUNTDOWN));
    setControlText(IDC_EDIT_HOSTNAME, L"other.example.net");
    SendMessageW(mainWindow, WM_COMMAND, IDC_CANCEL, 0);
    EXPECT_FALSE(appState.loginPanelShown);
    EXPECT_EQ(appState.hostname, L"home.example.net");
    EXPECT_EQ(controlText(IDC_VALUE_HOSTNAME), L"home.example.net");
}

TEST_F(ControllerTest, CloseAndMinimiseHideWithoutDestroying)
{
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Case cases[] = {{"close", WM_CLOSE, 0}, {"minimise", WM_SIZE, SIZE_MINIMIZED}};
    createWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShowWindow(mainWindow, SW_SHOW);
        SendMessageW(mainWindow, c.message, c.wParam, 0);
        EXPECT_TRUE(IsWindow(mainWindow));
        EXPECT_FALSE(IsWindowVisible(mainWindow));
        EXPECT_TRUE(wasTrayNoticeShown());
    }
    SendMessageW(mainWindow, WM_SIZE, SIZE_RESTORED, 0);
    EXPECT_FALSE(IsWindowVisible(mainWindow));
}

TEST_F(ControllerTest, TrackingSizeFollowsClientHeight)
{
    createWindow();
    for (int32_t height : {248, 288}) {
        SCOPED_TRACE(height);
        appState.clientHeight = height;
        RECT expected = {0, 0, 470, height};
        AdjustWindowRect(&expected, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
        MINMAXINFO info = {};
        EXPECT_EQ(SendMessageW(mainWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
        EXPECT_EQ(info.ptMinTrackSize.x, expected.right - expected.left);
        EXPECT_EQ(info.ptMinTrackSize.y, expected.bottom - expected.top);
        EXPECT_EQ(info.ptMaxTrackSize.x, info.ptMinTrackSize.x);
        EXPECT_EQ(info.ptMaxTrackSize.y, info.ptMinTrackSize.y);
    }
}

// Wine has one monitor: the message a move to a monitor of another scale
// brings is sent by hand.
TEST_F(ControllerTest, DpiChangeRebuildsWhereSuggestedKeepingWhatWasTyped)
{
    createWindow();
    ShowWindow(mainWindow, SW_SHOW);
    setControlText(IDC_EDIT_HOSTNAME, L"typed.example.net");
    SetFocus(GetDlgItem(mainWindow, IDC_EDIT_KEY));
    HWND oldField = GetDlgItem(mainWindow, IDC_EDIT_HOSTNAME);
    RECT suggested = {40, 30, 700, 500};
    const int dpi = dpiForWindow(mainWindow);
    expectKeyFieldWiped(L"k3y", [&] {
        SendMessageW(mainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    });
    EXPECT_FALSE(IsWindow(oldField));
    EXPECT_EQ(controlText(IDC_EDIT_HOSTNAME), L"typed.example.net");
    EXPECT_EQ(controlText(IDC_EDIT_USERNAME), L"");
    EXPECT_EQ(controlText(IDC_EDIT_KEY), L"k3y");
    EXPECT_EQ(GetFocus(), GetDlgItem(mainWindow, IDC_EDIT_KEY));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendDlgItemMessageW(mainWindow, IDC_EDIT_KEY, WM_GETFONT, 0, 0)),
              uiFont(UiFont::Body));
    RECT window = {}, client = {};
    GetWindowRect(mainWindow, &window);
    GetClientRect(mainWindow, &client);
    EXPECT_EQ(window.left, 40);
    EXPECT_EQ(window.top, 30);
    EXPECT_EQ(client.right, MulDiv(470, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(248, dpi, 96));
}

TEST_F(ControllerTest, EnableNowWritesAutostartAndDropsBanner)
{
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(false));
    createSignedInWindow();
    ASSERT_NE(FindWindowExW(mainWindow, nullptr, kAlertClass, nullptr), nullptr);
    EXPECT_EQ(appState.clientHeight, 288);
    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_ENABLE_AUTOSTART, 1), 0);
    EXPECT_FALSE(isAutostartEnabled());

    // A Run value that cannot be written: the banner stays, and a box says why.
    storeFailure() = ERROR_ACCESS_DENIED;
    gStoreCalls.writeRunValue = failRunValueWrite;
    {
        BoxAnswerer answerer(L"Autostart Error", IDOK);
        SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_ENABLE_AUTOSTART, BN_CLICKED), 0);
        const SeenBox box = answerer.seen();
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.text,
                  L"Lumaroth could not be set to run at Windows startup.\n\n" + systemErrorText(ERROR_ACCESS_DENIED));
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_ERROR));
    }
    EXPECT_FALSE(isAutostartEnabled());
    EXPECT_NE(FindWindowExW(mainWindow, nullptr, kAlertClass, nullptr), nullptr);
    EXPECT_EQ(appState.clientHeight, 288);

    gStoreCalls.writeRunValue = RegSetValueExW;
    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_ENABLE_AUTOSTART, BN_CLICKED), 0);
    EXPECT_TRUE(isAutostartEnabled());
    EXPECT_EQ(FindWindowExW(mainWindow, nullptr, kAlertClass, nullptr), nullptr);
    EXPECT_EQ(appState.clientHeight, 248);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(false));
}

TEST_F(ControllerTest, AboutOpensOneDisabledOwnerWindow)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_COMMAND, IDC_ABOUT, 0);
    HWND about = FindWindowW(kAboutClass, nullptr);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowEnabled(mainWindow));
    SendMessageW(mainWindow, WM_COMMAND, IDC_ABOUT, 0);
    EXPECT_EQ(FindWindowExW(nullptr, about, kAboutClass, nullptr), nullptr);
    DestroyWindow(about);
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
}

TEST_F(ControllerTest, ExitRemovesIconStopsTimersAndEndsTheLoop)
{
    createSignedInWindow();
    SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
    expectKeyFieldWiped(L"n3w-key", [] { SendMessageW(mainWindow, WM_COMMAND, IDM_TRAY_EXIT, 0); });
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_FALSE(isTrayIconAdded());
    EXPECT_EQ(uiFont(UiFont::Body), nullptr);
    EXPECT_EQ(backgroundBrush(), nullptr);
    WPARAM code = 99;
    EXPECT_TRUE(drainMessages(&code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
