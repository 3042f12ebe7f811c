// Editing the account, logging out, and results that come back after a
// logout.
#include "tests/e2e/e2e_store.h"
#include "tests/e2e/e2e_wait.h"
#include "tests/e2e/journeys.h"

#include <gtest/gtest.h>

namespace {

// "Logout" on the login panel, answered with answer (IDYES or IDNO).
void logout(HWND main, int answer)
{
    postClick(main, 3022);
    HWND box = waitForMessageBox(L"Confirm Logout", kUiLimitMs);
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), kLogoutQuestion);
    EXPECT_EQ(messageBoxButtons(box), (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(isDefaultButton(box, IDNO)) << "No is the default";
    ASSERT_TRUE(pressMessageBoxButton(box, answer, kUiLimitMs));
}

// The login panel rebuilt after a logout, complete.
bool waitForSignedOutPanel(HWND main)
{
    return waitForControls(main, loginPanel(false, L"", L"", L""), kUiLimitMs);
}

bool nothingStored()
{
    StoredCredential credential;
    StoredState state = readStoredState();
    return !readAccountCredential(&credential) && !state.hasIp && !state.hasLastTime && !state.hasChangeTime;
}

}  // namespace

TEST(Journey, EditHostAndLogout)
{
    UpdateService service;
    seedSignedIn(service, "198.51.100.20");
    LumarothProcess app;
    HWND main = startAndSettle(app, service);
    ASSERT_TRUE(main);

    // "Edit Host": the account in the fields, focus on the user name.
    clickButton(main, 3021);
    expectControls(main, loginPanel(true, L"home.example.net", L"alice", L"s3cret"));
    EXPECT_EQ(focusOf(main), GetDlgItem(main, 4002));
    EXPECT_EQ(clientSize(main).cy, 248);

    // "Cancel" drops what was typed.
    setItemText(main, 4001, L"changed.example.net");
    clickButton(main, 4011);
    ASSERT_TRUE(isStatusPanelShown(main));
    EXPECT_EQ(itemText(main, 3012), L"home.example.net");

    // A failed login keeps the old account in use.
    clickButton(main, 3021);
    setItemText(main, 4003, L"wrong");
    postClick(main, 4010);
    HWND box = waitForMessageBox(L"Login Error", kReplyLimitMs);
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), resultMessage("badauth"));
    ASSERT_TRUE(pressMessageBoxButton(box, IDOK, kUiLimitMs));
    EXPECT_TRUE(
        waitUntil([&] { return IsWindowEnabled(GetDlgItem(main, 4010)) && IsWindowEnabled(GetDlgItem(main, 4011)); },
                  kUiLimitMs));
    EXPECT_EQ(itemText(main, 4003), L"wrong");
    size_t updates = service.updateCount();
    for (int i = 0; i < 125 && service.updateCount() == updates; ++i)
        sendTimer(main, 1001);
    ASSERT_TRUE(service.waitForUpdates(updates + 1, kReplyLimitMs)) << "the timers run behind the login panel";
    EXPECT_EQ(service.updates().back().credentials, "alice:s3cret");
    StoredCredential credential;
    ASSERT_TRUE(readAccountCredential(&credential));
    EXPECT_EQ(credential.blob, "home.example.net|alice|s3cret");

    // "No" changes nothing.
    logout(main, IDNO);
    EXPECT_TRUE(GetDlgItem(main, 3022));
    EXPECT_TRUE(readAccountCredential(&credential));

    // "Yes" deletes the account and state, keeps autostart, stops requests.
    logout(main, IDYES);
    ASSERT_TRUE(waitForSignedOutPanel(main));
    expectControls(main, loginPanel(false, L"", L"", L""));
    EXPECT_EQ(focusOf(main), GetDlgItem(main, 4001));
    EXPECT_TRUE(nothingStored());
    EXPECT_TRUE(userKeyExists(kStateKey));
    EXPECT_TRUE(userValueExists(kRunKey, kRunValueName));

    // A check already on its way may still arrive; after that, silence for
    // longer than a check period, and the countdown starts no update.
    Sleep(1000);
    size_t requests = service.requests().size();
    for (int i = 0; i < 125; ++i)
        sendTimer(main, 1001);
    EXPECT_FALSE(waitUntil([&] { return service.requests().size() > requests; }, 6500)) << "requests after logout";
    EXPECT_EQ(app.exitFromTray(kUiLimitMs), 0u);
}

TEST(Journey, LateResultsAfterLogout)
{
    UpdateService service;
    seedSignedIn(service, "198.51.100.20");
    LumarothProcess app;
    HWND main = startAndSettle(app, service);
    ASSERT_TRUE(main);
    service.setAddress("203.0.113.50");

    // An update held by the service while the user logs out.
    service.setFault(R"({"on": ["update"], "hold": true})");
    size_t updates = service.updateCount();
    clickButton(main, 3020);
    ASSERT_TRUE(waitForItemText(main, 3030, L"Updating...", kUiLimitMs));
    clickButton(main, 3021);
    logout(main, IDYES);
    ASSERT_TRUE(waitForSignedOutPanel(main));
    service.setFault("");
    ASSERT_TRUE(service.waitForUpdates(updates + 1, kReplyLimitMs));
    EXPECT_EQ(service.updates().back().reply, "good 203.0.113.50");
    // The answer left the service; give the worker time to post it.
    Sleep(1500);
    ASSERT_TRUE(drainPostedMessages(main));
    EXPECT_TRUE(nothingStored()) << "the late update result was applied";

    // Signed in again; a login held by the service while the user logs out.
    typeAccount(main, L"home.example.net", L"alice", L"s3cret");
    postClick(main, 4010);
    ASSERT_TRUE(waitUntil([&] { return isStatusPanelShown(main); }, kReplyLimitMs));
    clickButton(main, 3021);
    service.setFault(R"({"on": ["update"], "hold": true})");
    updates = service.updateCount();
    typeAccount(main, L"office.example.org", L"bob", L"hunter2");
    postClick(main, 4010);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowEnabled(GetDlgItem(main, 4010)); }, kUiLimitMs));
    logout(main, IDYES);
    ASSERT_TRUE(waitForSignedOutPanel(main));
    service.setFault("");
    ASSERT_TRUE(service.waitForUpdates(updates + 1, kReplyLimitMs));
    EXPECT_EQ(service.updates().back().credentials, "bob:hunter2");
    Sleep(1500);
    ASSERT_TRUE(drainPostedMessages(main));
    EXPECT_FALSE(isStatusPanelShown(main)) << "the late login signed the user in";
    EXPECT_TRUE(nothingStored()) << "the late login result was applied";
    EXPECT_EQ(app.exitFromTray(kUiLimitMs), 0u);
}
