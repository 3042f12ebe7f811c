// The worker threads for real, against the local update service: each posts
// one result that the main window applies, and a result that arrives after a
// logout is dropped.
#include "app_test_support.h"

#include "support_service.h"
#include "update/result_messages.h"

namespace {

// Real threads, whose handles are kept so that a test can wait until every
// worker has posted its result.
std::vector<HANDLE> workerThreads;

bool launchAndKeep(LPTHREAD_START_ROUTINE routine, void* argument)
{
    HANDLE thread = CreateThread(nullptr, 0, routine, argument, 0, nullptr);
    if (!thread)
        return false;
    workerThreads.push_back(thread);
    return true;
}

bool waitForWorkers(DWORD timeoutMs)
{
    bool ended = true;
    for (HANDLE thread : workerThreads) {
        ended = ended && WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
        CloseHandle(thread);
    }
    workerThreads.clear();
    return ended;
}

class WorkerTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        if (serviceDir().empty())
            GTEST_SKIP() << "no update service in this run";
        ASSERT_TRUE(serviceSetConfig(kAccountConfig));
        gLaunchWorker = launchAndKeep;
    }
    void TearDown() override
    {
        serviceResetConfig();
        MainWindowTest::TearDown();
        waitForWorkers(60000);
    }

    // Signs in with the service holding the update's answer; returns the request
    // count before that update, once the update has reached the service. Only
    // the updates reach the service from then on: the window's own
    // five-second check would add a request whenever a wait runs past it.
    size_t startHeldUpdate()
    {
        EXPECT_TRUE(serviceSetConfig(
            R"({"accounts": [{"hostname": "home.example.net", "username": "alice", "key": "s3cret"}],
                "address": "203.0.113.7", "fault": {"on": ["update"], "hold": true}})"));
        const size_t before = serviceRequestCount();
        createSignedInWindow();
        KillTimer(mainWindow, IDT_CONNECTIVITY);
        EXPECT_EQ(serviceWaitForRequests(before + 1, 30000).size(), before + 1);
        return before;
    }

    static constexpr const char* kAccountConfig =
        R"({"accounts": [{"hostname": "home.example.net", "username": "alice", "key": "s3cret"}],
            "address": "203.0.113.7"})";
};

bool notUpdating()
{
    return appState.updateStatus != UpdateStatus::Updating;
}

TEST_F(WorkerTest, UpdateWorkerPostsTheServersAnswer)
{
    ASSERT_TRUE(serviceWriteRecords(R"({"home.example.net": "198.51.100.1"})"));
    createSignedInWindow();
    ASSERT_TRUE(pumpUntil(notUpdating, 60000));
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Succeeded);
    EXPECT_EQ(appState.lastIp, L"203.0.113.7");
    EXPECT_TRUE(appState.hasIpChangeTime);
    EXPECT_EQ(readStateValue(kValueLastIp), L"203.0.113.7");
    EXPECT_EQ(controlText(IDC_VALUE_IP), L"203.0.113.7");
}

TEST_F(WorkerTest, ConnectivityWorkerReportsReachability)
{
    struct Case {
        const char* name;
        const char* config;
        bool online;
    };
    const Case cases[] = {
        {"unreachable", R"({"fault": {"on": ["getip"], "status": 503}})", false},
        {"reachable", "{}", true},
    };
    createWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(serviceSetConfig(c.config));
        appState.online = !c.online;
        SendMessageW(mainWindow, WM_TIMER, IDT_CONNECTIVITY, 0);
        EXPECT_TRUE(pumpUntil([&] { return appState.online == c.online; }, 60000));
    }
}

// The connection drops and returns while the service holds the update: the
// status shows the loss, yet no second update starts beside the first.
TEST_F(WorkerTest, LossAndReturnDuringAnUpdateStartNoSecondOne)
{
    const size_t before = startHeldUpdate();
    ASSERT_FALSE(HasFailure());
    SendMessageW(mainWindow, WM_NETWORK_STATE, 0, 0);
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Failed);
    EXPECT_FALSE(controlEnabled(IDC_UPDATE_IP));
    SendMessageW(mainWindow, WM_NETWORK_STATE, 1, 0);
    SendMessageW(mainWindow, WM_COMMAND, IDC_UPDATE_IP, 0);
    ASSERT_TRUE(serviceSetConfig(kAccountConfig));
    ASSERT_TRUE(pumpUntil([] { return appState.updateStatus == UpdateStatus::Succeeded; }, 60000));
    EXPECT_TRUE(controlEnabled(IDC_UPDATE_IP));
    ASSERT_TRUE(waitForWorkers(60000));
    drainMessages();
    EXPECT_EQ(serviceRequestCount(), before + 1);
}

// The worker is given up at its deadline while the service holds its answer:
// its late "good" changes nothing, its thread still ends, and the next update
// goes out and lands.
TEST_F(WorkerTest, UpdateGivenUpAtItsDeadlineIgnoresItsLateAnswer)
{
    const size_t before = startHeldUpdate();
    ASSERT_FALSE(HasFailure());
    appState.updateStartTick -= kWorkerDeadlineMs;
    SendMessageW(mainWindow, WM_TIMER, IDT_UPDATE_DEADLINE, 0);
    EXPECT_EQ(appState.errorText, describeResult("network_error"));
    EXPECT_TRUE(controlEnabled(IDC_UPDATE_IP));
    ASSERT_TRUE(serviceSetConfig(
        R"({"accounts": [{"hostname": "home.example.net", "username": "alice", "key": "s3cret"}],
            "address": "203.0.113.99"})"));
    ASSERT_TRUE(waitForWorkers(60000));
    drainMessages();
    EXPECT_EQ(liveWorkersOf(updateWorker), 0);
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Failed);
    EXPECT_TRUE(appState.lastIp.empty());
    SendMessageW(mainWindow, WM_COMMAND, IDC_UPDATE_IP, 0);
    ASSERT_TRUE(pumpUntil(notUpdating, 60000));
    EXPECT_EQ(appState.lastIp, L"203.0.113.99");
    EXPECT_EQ(serviceRequestCount(), before + 2);
}

// The service holds the update's answer until the logout is done.
TEST_F(WorkerTest, UpdateAnsweredAfterLogoutIsDropped)
{
    const size_t before = startHeldUpdate();
    ASSERT_FALSE(HasFailure());
    SendMessageW(mainWindow, WM_COMMAND, IDC_EDIT_HOST, 0);
    {
        BoxAnswerer answerer(L"Confirm Logout", IDYES);
        SendMessageW(mainWindow, WM_COMMAND, IDC_LOGOUT, 0);
        ASSERT_TRUE(answerer.seen().found);
    }
    ASSERT_TRUE(serviceSetConfig(kAccountConfig));
    ASSERT_TRUE(waitForWorkers(60000));
    drainMessages();
    EXPECT_EQ(appState.updateStatus, UpdateStatus::Idle);
    EXPECT_TRUE(appState.lastIp.empty());
    EXPECT_TRUE(readStateValue(kValueLastIp).empty());
    EXPECT_TRUE(appState.loginPanelShown);
}

}  // namespace
