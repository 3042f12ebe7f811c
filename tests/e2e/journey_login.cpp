// First start, the login panel's refusals and a successful login.
#include "tests/e2e/e2e_screen.h"
#include "tests/e2e/e2e_store.h"
#include "tests/e2e/e2e_wait.h"
#include "tests/e2e/journeys.h"

#include <gtest/gtest.h>
#include <wincred.h>

#include <algorithm>

namespace {

constexpr DWORD kMainStyleBits = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;

}  // namespace

TEST(Journey, FirstStartLoginPanel)
{
    UpdateService service;
    service.setAccounts({kAlice});
    LumarothProcess app;
    ASSERT_TRUE(app.start());
    HWND main = app.waitForVisibleWindow(kStartLimitMs);
    ASSERT_TRUE(main);

    EXPECT_EQ(windowText(main), L"Vexlumen - Free Dynamic DNS v2.0.1");
    EXPECT_EQ(DWORD(GetWindowLongW(main, GWL_STYLE)) & kMainStyleBits, DWORD(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    SIZE client = clientSize(main);
    EXPECT_EQ(client.cx, 470);
    EXPECT_EQ(client.cy, 248);
    RECT outer{};
    GetWindowRect(main, &outer);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);

    expectControls(main, loginPanel(false, L"", L"", L""));
    EXPECT_EQ(focusOf(main), GetDlgItem(main, 4001));
    EXPECT_FALSE(GetDlgItem(main, 3022)) << "no Logout without an account";
    EXPECT_FALSE(GetDlgItem(main, 4011)) << "no Cancel without an account";
    EXPECT_TRUE(trayIconPresent(main));
    saveScreenshot(main, L"login-panel");

    // Tab goes round the fields and the button; labels and frame are skipped.
    for (int id : {4002, 4003, 4010, 4001}) {
        pressTab(main);
        EXPECT_TRUE(waitUntil([&] { return focusOf(main) == GetDlgItem(main, id); }, kUiLimitMs))
            << "Tab should reach " << id;
    }

    // F1 (WM_KEYF1, as the system makes it of the key) opens the setup guide.
    PostMessageW(main, 0x004D /* WM_KEYF1 */, 0, 0);
    EXPECT_TRUE(waitForOpenedUrl(kSetupGuide, kUiLimitMs));

    // The window keeps the panel's size whatever size it is asked to take.
    SetWindowPos(main, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    client = clientSize(main);
    EXPECT_EQ(client.cx, 470);
    EXPECT_EQ(client.cy, 248);

    // Without an account no timer runs: no update and no connectivity check
    // within more than one check period.
    EXPECT_FALSE(waitUntil([&] { return !service.requests().empty(); }, 6500))
        << service.requests().size() << " requests reached the service";
    EXPECT_EQ(app.exitFromTray(kUiLimitMs), 0u);
}

TEST(Journey, LoginErrors)
{
    UpdateService service;
    service.setAccounts({kAlice});
    LumarothProcess app;
    ASSERT_TRUE(app.start());
    HWND main = app.waitForVisibleWindow(kStartLimitMs);
    ASSERT_TRUE(main);

    const std::wstring euros400(400, L'\x20AC'), euros511(511, L'\x20AC');
    struct Refusal {
        const wchar_t* host;
        const wchar_t* user;
        const wchar_t* key;
        const wchar_t* message;
    };
    const Refusal refusals[] = {
        {L"", L"", L"", L"All fields are required."},
        {L"   ", L"alice", L"s3cret", L"All fields are required."},
        {L"home.example.net", L"  ", L"s3cret", L"All fields are required."},
        {L"home.example.net", L"alice", L" ", L"All fields are required."},
        {L"home|x.example.net", L"alice", L"s3cret", L"The hostname and username cannot contain the character |."},
        {L"home.example.net", L"al|ice", L"s3cret", L"The hostname and username cannot contain the character |."},
        {L"home.example.net", euros400.c_str(), euros511.c_str(),
         L"The hostname, username and key are too long to be saved."},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(testing::Message() << "expected: " << testing::PrintToString(std::wstring(refusal.message)));
        typeAccount(main, refusal.host, refusal.user, refusal.key);
        postClick(main, 4010);
        HWND box = waitForMessageBox(L"Login Error", kUiLimitMs);
        ASSERT_TRUE(box);
        EXPECT_EQ(messageBoxText(box), refusal.message);
        EXPECT_EQ(messageBoxButtons(box), std::vector<int>{IDOK});
        ASSERT_TRUE(pressMessageBoxButton(box, IDOK, kUiLimitMs));
        EXPECT_EQ(itemText(main, 4001), refusal.host) << "typed text stays";
        EXPECT_EQ(itemText(main, 4002), refusal.user);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, 4010)));
    }
    EXPECT_TRUE(service.requests().empty()) << "refused values never leave the machine";
    StoredCredential credential;
    EXPECT_FALSE(readAccountCredential(&credential));

    // A wrong key: "Login" stays disabled while the attempt runs.
    service.setFault(R"({"on": ["update"], "hold": true})");
    typeAccount(main, L"home.example.net", L"alice", L"wrong");
    postClick(main, 4010);
    EXPECT_TRUE(waitUntil([&] { return !IsWindowEnabled(GetDlgItem(main, 4010)); }, kUiLimitMs));
    service.setFault("");
    HWND box = waitForMessageBox(L"Login Error", kReplyLimitMs);
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), resultMessage("badauth"));
    std::vector<int> buttons = messageBoxButtons(box);
    EXPECT_NE(std::find(buttons.begin(), buttons.end(), IDOK), buttons.end());
    EXPECT_NE(std::find(buttons.begin(), buttons.end(), IDHELP), buttons.end()) << "a Help button";
    // Help opens the setup guide and leaves the box open. Wine's box ignores
    // a press on its Help button but passes the WM_HELP of F1 (WM_KEYF1) on
    // to its owner, which is what the button does on Windows.
    PostMessageW(box, 0x004D /* WM_KEYF1 */, 0, 0);
    EXPECT_TRUE(waitForOpenedUrl(kSetupGuide, kUiLimitMs));
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 4010))) << "enabled again only when the box closes";
    ASSERT_TRUE(pressMessageBoxButton(box, IDOK, kUiLimitMs));
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(GetDlgItem(main, 4010)) != 0; }, kUiLimitMs));
    EXPECT_EQ(itemText(main, 4001), L"home.example.net");
    EXPECT_FALSE(isStatusPanelShown(main));
    EXPECT_FALSE(readAccountCredential(&credential));
    std::vector<ServiceRequest> updates = service.updates();
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].credentials, "alice:wrong");

    // Spaces around the values go, capitals are lowered, and the login works.
    typeAccount(main, L"  Home.Example.NET  ", L" Alice", L"S3CRET ");
    postClick(main, 4010);
    ASSERT_TRUE(service.waitForUpdates(2, kReplyLimitMs));
    updates = service.updates();
    EXPECT_EQ(updates[1].hostname, "home.example.net");
    EXPECT_EQ(updates[1].credentials, "alice:s3cret");
    EXPECT_EQ(updates[1].userAgent, kUserAgent);
    EXPECT_TRUE(waitUntil([&] { return isStatusPanelShown(main); }, kUiLimitMs));
    ASSERT_TRUE(readAccountCredential(&credential));
    EXPECT_EQ(credential.blob, "home.example.net|alice|s3cret");
}

TEST(Journey, SuccessfulLogin)
{
    UpdateService service;
    service.setAccounts({kAlice});
    service.setAddress("203.0.113.7");
    LumarothProcess app;
    ASSERT_TRUE(app.start());
    HWND main = app.waitForVisibleWindow(kStartLimitMs);
    ASSERT_TRUE(main);
    typeAccount(main, L"home.example.net", L"alice", L"s3cret");
    const ULONGLONG loggedIn = GetTickCount64();
    postClick(main, 4010);

    // The panel's first texts last until the first tick, a second later:
    // read them as soon as the panel exists, the status line first. A busy
    // machine may read after that tick; while the countdown read last still
    // shows 02:00s, neither text has been ticked.
    std::wstring firstStatus, firstCountdown;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (!isStatusPanelShown(main))
                return false;
            firstStatus = statusLine(main);
            firstCountdown = itemText(main, 3014);
            return true;
        },
        kReplyLimitMs));
    StoredState state = readStoredState();
    SYSTEMTIME saved{};
    ASSERT_TRUE(state.hasLastTime && parseStateTime(state.lastTime, &saved));
    const std::wstring built = L"Updated: " + timestampText(saved);
    EXPECT_TRUE(restartedSince(firstCountdown, loggedIn, 0)) << testing::PrintToString(firstCountdown);
    if (firstCountdown == L"02:00s")
        EXPECT_EQ(firstStatus, built);
    else
        EXPECT_TRUE(firstStatus == built || firstStatus == L"Recent IP Updates: just now")
            << testing::PrintToString(firstStatus);

    SIZE client = clientSize(main);
    EXPECT_EQ(client.cx, 470);
    EXPECT_EQ(client.cy, 288) << "with the autostart banner";
    expectControls(main, statusPanel(true, L"alice", L"home.example.net", L"203.0.113.7"));
    HWND banner = FindWindowExW(main, nullptr, L"LumarothAlert", nullptr);
    ASSERT_TRUE(banner);
    expectControls(banner, bannerControls());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, 3020)));

    EXPECT_TRUE(waitForItemText(main, 3030, L"Recent IP Updates: just now", kUiLimitMs));
    EXPECT_TRUE(waitForStatusColour(main, kGreen));
    saveScreenshot(main, L"status-panel-banner");

    StoredCredential credential;
    ASSERT_TRUE(readAccountCredential(&credential));
    EXPECT_EQ(credential.blob, "home.example.net|alice|s3cret");
    EXPECT_EQ(credential.userName, L"alice");
    EXPECT_EQ(credential.comment, kCredentialComment);
    EXPECT_EQ(credential.type, DWORD(CRED_TYPE_GENERIC));
    EXPECT_EQ(credential.persist, DWORD(CRED_PERSIST_LOCAL_MACHINE));
    EXPECT_EQ(state.ip, L"203.0.113.7");
    EXPECT_TRUE(state.hasChangeTime);
    EXPECT_EQ(state.changeTime, state.lastTime) << "a login counts as an address change";
    EXPECT_FALSE(userValueExists(kRunKey, kRunValueName));

    // "Enable now" registers the program and the banner goes.
    PostMessageW(GetDlgItem(banner, 7002), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return clientSize(main).cy == 248; }, kUiLimitMs));
    std::wstring run;
    ASSERT_TRUE(readUserString(kRunKey, kRunValueName, &run));
    EXPECT_EQ(_wcsicmp(run.c_str(), (L"\"" + lumarothExePath() + L"\" /startup").c_str()), 0)
        << testing::PrintToString(run);
    expectControls(main, statusPanel(false, L"alice", L"home.example.net", L"203.0.113.7"));
    EXPECT_TRUE(waitForItemText(main, 3030, L"Recent IP Updates: just now", kUiLimitMs));
    EXPECT_TRUE(waitForStatusColour(main, kGreen));
    saveScreenshot(main, L"status-panel");

    // The website address is a blue link that opens the site.
    EXPECT_TRUE(waitForTextColour(GetDlgItem(main, 3031), kLinkBlue));
    PostMessageW(GetDlgItem(main, 3031), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(GetDlgItem(main, 3031), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(waitForOpenedUrl(kWebsite, kUiLimitMs));
    EXPECT_EQ(app.exitFromTray(kUiLimitMs), 0u);
}

TEST(Journey, KeyboardOnly)
{
    UpdateService service;
    service.setAccounts({kAlice});
    LumarothProcess app;
    ASSERT_TRUE(app.start());
    HWND main = app.waitForVisibleWindow(kStartLimitMs);
    ASSERT_TRUE(main);
    // The journey also runs at other display scales (LogPixels of the prefix).
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto shot = [&](HWND window, const wchar_t* name) {
        if (dpi != 96)
            saveScreenshot(window, std::wstring(name) + L"-" + std::to_wstring(dpi) + L"dpi");
    };
    const auto focusReaches = [&](int id, HWND parent) {
        return waitUntil([&] { return focusOf(main) == GetDlgItem(parent, id); }, kUiLimitMs);
    };
    SIZE client = clientSize(main);
    EXPECT_NEAR(client.cx, MulDiv(470, dpi, 96), 1);
    EXPECT_NEAR(client.cy, MulDiv(248, dpi, 96), 1);

    // Typing and Tab only.
    ASSERT_TRUE(focusReaches(4001, main));
    typeText(main, L"home.example.net");
    pressTab(main);
    ASSERT_TRUE(focusReaches(4002, main));
    typeText(main, L"alice");
    pressTab(main);
    ASSERT_TRUE(focusReaches(4003, main));
    typeText(main, L"s3cret");
    ASSERT_TRUE(waitForItemText(main, 4003, L"s3cret", kUiLimitMs));
    shot(main, L"login-panel");

    // Escape without a "Cancel" changes nothing; Enter in a field is "Login".
    pressKey(main, VK_ESCAPE);
    pressKey(main, VK_RETURN);
    ASSERT_TRUE(service.waitForUpdates(1, kReplyLimitMs));
    EXPECT_EQ(service.updates()[0].credentials, "alice:s3cret");
    ASSERT_TRUE(waitUntil([&] { return isStatusPanelShown(main); }, kReplyLimitMs));
    HWND banner = FindWindowExW(main, nullptr, L"LumarothAlert", nullptr);
    ASSERT_TRUE(banner);
    EXPECT_TRUE(waitForItemText(main, 3030, L"Recent IP Updates: just now", kUiLimitMs));
    shot(main, L"status-panel-banner");

    // Tab reaches "Enable now" inside the banner and the website link, which
    // opens on Space.
    const std::pair<int, HWND> stops[] = {{6001, main}, {7002, banner}, {3020, main}, {3021, main}, {3031, main}};
    for (const auto& stop : stops) {
        pressTab(main);
        EXPECT_TRUE(focusReaches(stop.first, stop.second)) << "Tab should reach " << stop.first;
    }
    pressKey(main, VK_SPACE);
    EXPECT_TRUE(waitForOpenedUrl(kWebsite, kUiLimitMs));

    // Round to "Edit Host", Enter opens the login panel with "Cancel",
    // Escape is "Cancel".
    for (int id : {6001, 7002, 3020, 3021}) {
        pressTab(main);
        ASSERT_TRUE(focusReaches(id, id == 7002 ? banner : main));
    }
    pressKey(main, VK_RETURN);
    ASSERT_TRUE(waitForControls(main, loginPanel(true, L"home.example.net", L"alice", L"s3cret"), kUiLimitMs));
    pressKey(main, VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return isStatusPanelShown(main); }, kUiLimitMs));

    // "About" by keyboard.
    pressTab(main);
    ASSERT_TRUE(focusReaches(6001, main));
    pressKey(main, VK_RETURN);
    HWND about = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (about = FindWindowW(L"LumarothAbout", nullptr)) && IsWindowVisible(about); },
                          kUiLimitMs));
    RECT aboutClient{};
    GetClientRect(about, &aboutClient);
    EXPECT_NEAR(aboutClient.right, MulDiv(360, dpi, 96), 1);
    // Its heading and its last body line painted, then the picture.
    EXPECT_TRUE(waitForTextColour(childrenOf(about).at(1), RGB(0, 0, 0)));
    EXPECT_TRUE(waitForTextColour(childrenOf(about).at(10), RGB(0, 0, 0)));
    shot(about, L"about-window");
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitForGone(about, kUiLimitMs));
    EXPECT_EQ(app.exitFromTray(kUiLimitMs), 0u);
}
