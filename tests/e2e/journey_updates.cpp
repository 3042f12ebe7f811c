// The update cycle over time: the countdown fast-forwarded with timer
// messages, the service's answers and failures, the connection lost and back,
// a restart with stored state, and a stalled server.
#include "tests/e2e/e2e_screen.h"
#include "tests/e2e/e2e_store.h"
#include "tests/e2e/e2e_wait.h"
#include "tests/e2e/journeys.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr UINT_PTR kCountdown = 1001;
constexpr UINT_PTR kConnectivity = 1002;
constexpr wchar_t kOldTime[] = L"2020-01-02T03:04:05";

bool endsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST(Journey, UpdateCycle)
{
    UpdateService service;
    seedSignedIn(service, "198.51.100.20");
    seedStoredState(L"198.51.100.20", kOldTime, kOldTime);
    LumarothProcess app;
    HWND main = startAndSettle(app, service);
    ASSERT_TRUE(main);

    // "nochg": the update time moves, the address change time stays.
    EXPECT_EQ(service.updates()[0].reply, "nochg 198.51.100.20");
    EXPECT_TRUE(endsWith(statusLine(main), L" days ago")) << testing::PrintToString(statusLine(main));
    StoredState state = readStoredState();
    EXPECT_EQ(state.ip, L"198.51.100.20");
    EXPECT_NE(state.lastTime, kOldTime);
    EXPECT_EQ(state.changeTime, kOldTime);

    // "Update IP" starts an update and the countdown starts again from 120.
    tickDownTo(main, 60);
    const ULONGLONG clicked = GetTickCount64();
    clickButton(main, 3020);
    ASSERT_TRUE(service.waitForUpdates(2, kReplyLimitMs));
    // Until its answer is applied the update still runs, and the update at 0
    // below would be refused.
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(GetDlgItem(main, 3020)) != FALSE; }, kReplyLimitMs));
    sendTimer(main, kCountdown);
    std::wstring countdown = itemText(main, 3014);
    EXPECT_TRUE(restartedSince(countdown, clicked, 1)) << testing::PrintToString(countdown);

    // The countdown reaching 0 only shows 00:00s; the tick that finds 0
    // restarts it and updates. That tick may be the program's own at any
    // moment from here on, so the status line is read before the countdown:
    // an update it shows must have restarted the countdown read after it.
    service.setAddress("203.0.113.99");
    service.setFault(R"({"on": ["update"], "hold": true})");
    const ULONGLONG nearZero = GetTickCount64();
    tickDownTo(main, 0);
    const std::wstring lineAtZero = statusLine(main);
    countdown = itemText(main, 3014);
    if (countdown == L"00:00s")
        EXPECT_NE(lineAtZero, L"Updating...") << "no update at 00:00s";
    else
        EXPECT_TRUE(restartedSince(countdown, nearZero, 1)) << testing::PrintToString(countdown);
    sendTimer(main, kCountdown);
    countdown = itemText(main, 3014);
    EXPECT_TRUE(restartedSince(countdown, nearZero, 2)) << testing::PrintToString(countdown);

    // While the service holds its answer the panel shows the update running.
    EXPECT_TRUE(waitForItemText(main, 3030, L"Updating...", kUiLimitMs));
    EXPECT_EQ(itemText(main, 3013), L"Checking...");
    EXPECT_EQ(itemText(main, 3020), L"Updating...");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 3020)));
    EXPECT_TRUE(waitForStatusColour(main, kBlue));
    ASSERT_TRUE(service.waitForUpdates(3, kReplyLimitMs));
    EXPECT_EQ(service.updates()[2].reply, "good 203.0.113.99");

    // "good": the new address and both times.
    service.setFault("");
    EXPECT_TRUE(waitForItemText(main, 3013, L"203.0.113.99", kUiLimitMs));
    EXPECT_TRUE(waitForItemText(main, 3030, L"Recent IP Updates: just now", kUiLimitMs));
    EXPECT_EQ(itemText(main, 3020), L"Update IP");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, 3020)));
    EXPECT_TRUE(waitForStatusColour(main, kGreen));
    state = readStoredState();
    EXPECT_EQ(state.ip, L"203.0.113.99");
    EXPECT_NE(state.changeTime, kOldTime);
    EXPECT_EQ(state.changeTime, state.lastTime);

    // Each failure shows its message in red and keeps the address and times.
    struct Failure {
        const char* what;
        std::function<void()> arrange;
        std::wstring message;
    };
    const ServiceAccount wrongKey{kAlice.hostname, kAlice.username, "other"};
    const ServiceAccount otherHost{"elsewhere.example.net", kAlice.username, kAlice.key};
    ServiceAccount blocked = kAlice;
    blocked.blocked = true;
    const Failure failures[] = {
        {"badauth", [&] { service.setAccounts({wrongKey}); }, resultMessage("badauth")},
        {"nohost", [&] { service.setAccounts({otherHost}); }, resultMessage("nohost")},
        {"abuse", [&] { service.setAccounts({blocked}); }, resultMessage("abuse")},
        {"911", [&] { service.setMaintenance(true); }, resultMessage("911")},
        {"notfqdn", [&] { service.setFault(R"({"on": ["update"], "body": "notfqdn"})"); }, resultMessage("notfqdn")},
        {"ssl_error", [&] { service.setFault(R"({"on": ["update"], "body": "ssl_error"})"); },
         resultMessage("ssl_error")},
        {"http_503", [&] { service.setFault(R"({"on": ["update"], "status": 503})"); }, httpErrorMessage(L"503")},
        {"unknown word", [&] { service.setFault(R"({"on": ["update"], "body": "Hello world"})"); },
         unknownResultMessage(L"hello")},
        // Last: without a connection the next checks keep the client offline.
        {"network_error", [&] { service.setFault(R"({"on": ["update"], "refuse": true})"); },
         resultMessage("network_error")},
    };
    bool screenshotSaved = false;
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.what);
        service.setAccounts({kAlice});
        service.setMaintenance(false);
        service.setFault("");
        failure.arrange();
        clickButton(main, 3020);
        EXPECT_TRUE(waitForItemText(main, 3030, failure.message, kReplyLimitMs))
            << testing::PrintToString(statusLine(main));
        EXPECT_TRUE(waitForStatusColour(main, kRed));
        EXPECT_EQ(itemText(main, 3013), L"203.0.113.99");
        StoredState after = readStoredState();
        EXPECT_EQ(after.ip, state.ip);
        EXPECT_EQ(after.lastTime, state.lastTime);
        EXPECT_EQ(after.changeTime, state.changeTime);
        if (!screenshotSaved) {
            saveScreenshot(main, L"status-panel-failed");
            screenshotSaved = true;
        }
    }
}

TEST(Journey, ConnectivityLostAndBack)
{
    UpdateService service;
    seedSignedIn(service, "198.51.100.20");
    LumarothProcess app;
    HWND main = startAndSettle(app, service);
    ASSERT_TRUE(main);
    tickDownTo(main, 50);

    // Lost: one "No network connection".
    service.setFault(R"({"on": ["getip"], "status": 503})");
    size_t checks = service.checkCount();
    sendTimer(main, kConnectivity);
    ASSERT_TRUE(service.waitForChecks(checks + 1, kReplyLimitMs));
    EXPECT_TRUE(waitForItemText(main, 3030, L"No network connection", kReplyLimitMs))
        << testing::PrintToString(statusLine(main));
    EXPECT_TRUE(waitForStatusColour(main, kRed));

    // A further failed check while offline changes nothing: the message of a
    // later failed update stays.
    service.setMaintenance(true);
    clickButton(main, 3020);
    ASSERT_TRUE(waitForItemText(main, 3030, L"Server error, try again later (911)", kReplyLimitMs));
    checks = service.checkCount();
    sendTimer(main, kConnectivity);
    ASSERT_TRUE(service.waitForChecks(checks + 1, kReplyLimitMs));
    EXPECT_FALSE(waitForItemText(main, 3030, L"No network connection", 2000));

    // Back: an update at once and the countdown from 120. The countdown is
    // lowered while still offline: once the fault is gone the program's own
    // five-second check may find the service before the one sent here.
    tickDownTo(main, 30);
    const ULONGLONG back = GetTickCount64();
    service.setMaintenance(false);
    service.setFault("");
    size_t updates = service.updateCount();
    sendTimer(main, kConnectivity);
    ASSERT_TRUE(service.waitForUpdates(updates + 1, kReplyLimitMs));
    EXPECT_TRUE(waitUntil([&] { return statusLine(main).compare(0, 19, L"Recent IP Updates: ") == 0; }, kReplyLimitMs))
        << testing::PrintToString(statusLine(main));
    sendTimer(main, kCountdown);
    const std::wstring countdown = itemText(main, 3014);
    EXPECT_TRUE(restartedSince(countdown, back, 1)) << testing::PrintToString(countdown);
    EXPECT_TRUE(waitForStatusColour(main, kGreen));
}

TEST(Journey, RestartWithStoredAccount)
{
    // The longest address text there is, wider than its field.
    const std::string address = "ffff:ffff:ffff:ffff:ffff:ffff:255.255.255.255";
    const std::wstring wideAddress(address.begin(), address.end());
    const std::string overlong = "nochg " + std::string(3000, '7');
    UpdateService service;
    service.setAccounts({kAlice});
    service.setAddress(address);
    service.setRecord(kAlice.hostname, address);
    {
        // A first run signs in and ends through the tray.
        LumarothProcess first;
        ASSERT_TRUE(first.start());
        HWND main = first.waitForVisibleWindow(kStartLimitMs);
        ASSERT_TRUE(main);
        typeAccount(main, L"home.example.net", L"alice", L"s3cret");
        postClick(main, 4010);
        ASSERT_TRUE(waitUntil([&] { return isStatusPanelShown(main); }, kReplyLimitMs));
        EXPECT_EQ(itemText(main, 3013), wideAddress);
        EXPECT_EQ(first.exitFromTray(kUiLimitMs), 0u);
    }
    EXPECT_EQ(readStoredState().ip, wideAddress);
    // Three hours and five minutes pass.
    SYSTEMTIME changed = localTimeAgo(3 * 3600 + 5 * 60 + 10);
    writeUserString(kStateKey, kValueIpChangeTime, stateTimeText(changed));
    size_t updates = service.updateCount();

    // The next answer carries 3,000 characters where the address goes: no
    // address, so the one read back at the start stays.
    service.setFault(R"({"on": ["update"], "hold": true, "body": ")" + overlong + R"("})");
    LumarothProcess second;
    ASSERT_TRUE(second.start());
    HWND main = second.waitForVisibleWindow(kStartLimitMs);
    ASSERT_TRUE(main);
    // The first update was started before the window was shown.
    EXPECT_EQ(statusLine(main), L"Updating...");
    EXPECT_EQ(itemText(main, 3013), L"Checking...");
    EXPECT_EQ(itemText(main, 3011), L"alice");
    EXPECT_EQ(itemText(main, 3012), L"home.example.net");
    // Released only once it has reached the service, which answers as it was
    // set up when the request came.
    ASSERT_TRUE(service.waitForUpdates(updates + 1, kReplyLimitMs));
    service.setFault("");
    EXPECT_EQ(service.updates().back().reply, overlong);
    EXPECT_TRUE(waitForItemText(main, 3013, wideAddress, kReplyLimitMs));
    EXPECT_TRUE(waitForItemText(main, 3030, L"Recent IP Updates: 3h 5m ago", kUiLimitMs))
        << testing::PrintToString(statusLine(main));
    EXPECT_EQ(readStoredState().ip, wideAddress);
    EXPECT_EQ(readStoredState().changeTime, stateTimeText(changed));
    EXPECT_EQ(second.exitFromTray(kUiLimitMs), 0u);
}

TEST(Journey, ResponsiveWhileServiceStalls)
{
    UpdateService service;
    seedSignedIn(service, "198.51.100.20");
    LumarothProcess app;
    HWND main = startAndSettle(app, service);
    ASSERT_TRUE(main);

    service.setFault(R"({"on": ["update"], "stall": true})");
    clickButton(main, 3020);
    ASSERT_TRUE(waitForItemText(main, 3030, L"Updating...", kUiLimitMs));
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result));
        int before = countdownSeconds(main);
        EXPECT_TRUE(waitUntil([&] { return countdownSeconds(main) != before; }, 5000)) << "the countdown goes on";
    }
    EXPECT_EQ(statusLine(main), L"Updating...");

    // A tunnel that trickles every byte, TLS handshake included, trips none of
    // WinHTTP's time-outs; the update still ends by its deadline, and once the
    // tunnel runs at full speed the next one goes out and lands.
    service.setFault("");
    HWND updateButton = GetDlgItem(main, 3020);
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(updateButton) != FALSE; }, kExchangeLimitMs));
    service.setTrickleTunnel(1);
    const size_t updates = service.updateCount();
    clickButton(main, 3020);
    EXPECT_TRUE(waitForItemText(main, 3030, L"Network error, check connection", kExchangeLimitMs))
        << testing::PrintToString(statusLine(main));
    EXPECT_TRUE(IsWindowEnabled(updateButton));
    service.setTrickleTunnel(0);
    clickButton(main, 3020);
    ASSERT_TRUE(service.waitForUpdates(updates + 1, kReplyLimitMs));
    EXPECT_TRUE(waitUntil([&] { return statusLine(main).compare(0, 19, L"Recent IP Updates: ") == 0; }, kReplyLimitMs))
        << testing::PrintToString(statusLine(main));
}
