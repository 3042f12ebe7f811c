// One instance per session, the startup switch, and the tray icon.
#include "tests/e2e/e2e_screen.h"
#include "tests/e2e/e2e_wait.h"
#include "tests/e2e/journeys.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <thread>

namespace {

// The tray menu is a modal loop on the program's thread: keys posted to its
// window are read by that loop.
HWND waitForTrayMenu(HWND main)
{
    postTrayMouse(main, WM_RBUTTONUP);
    HWND menu = nullptr;
    waitUntil(
        [&] {
            std::vector<HWND> menus = topLevelWindows(L"#32768", true);
            menu = menus.empty() ? nullptr : menus[0];
            return menu != nullptr;
        },
        kUiLimitMs);
    return menu;
}

void pressKeys(HWND menu, std::initializer_list<WPARAM> keys)
{
    for (WPARAM key : keys) {
        PostMessageW(menu, WM_KEYDOWN, key, 1);
        PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
    }
}

HWND visibleMenuOf(DWORD process)
{
    for (HWND menu : topLevelWindows(L"#32768", true)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(menu, &owner);
        if (owner == process)
            return menu;
    }
    return nullptr;
}

// Under Wine another process's menu items cannot be read, but its window's height can
// be compared with menus built here: the height of a popup menu with
// "Show Lumaroth", optionally a separator, and "Exit", as this prefix draws it.
int referenceMenuHeight(bool withSeparator)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 2001, L"Show Lumaroth");
    if (withSeparator)
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, 2003, L"Exit");
    int height = 0;
    std::thread watcher([&] {
        HWND shown = nullptr;
        waitUntil([&] { return (shown = visibleMenuOf(GetCurrentProcessId())) != nullptr; }, kUiLimitMs);
        if (shown) {
            RECT rect{};
            GetWindowRect(shown, &rect);
            height = rect.bottom - rect.top;
            PostMessageW(shown, WM_KEYDOWN, VK_ESCAPE, 1);
        }
    });
    SetForegroundWindow(owner);
    TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 500, 500, 0, owner, nullptr);
    watcher.join();
    DestroyMenu(menu);
    DestroyWindow(owner);
    return height;
}

bool isShown(HWND main)
{
    return IsWindowVisible(main) && !IsIconic(main);
}

}  // namespace

TEST(Journey, SingleInstanceAndStartupSwitch)
{
    UpdateService service;
    LumarothProcess first;
    ASSERT_TRUE(first.start());
    HWND main = first.waitForVisibleWindow(kStartLimitMs);
    ASSERT_TRUE(main);

    // A second start brings the hidden window back and exits with 0.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, kUiLimitMs));
    {
        LumarothProcess second;
        ASSERT_TRUE(second.start());
        DWORD code = 99;
        ASSERT_TRUE(second.waitForExit(kStartLimitMs, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(waitUntil([&] { return isShown(main) && GetForegroundWindow() == main; }, kUiLimitMs));
    }
    // ... and the minimised one, restored.
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, kUiLimitMs)) << "minimising hides";
    {
        LumarothProcess third;
        ASSERT_TRUE(third.start(L"/startup"));
        DWORD code = 99;
        ASSERT_TRUE(third.waitForExit(kStartLimitMs, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(waitUntil([&] { return isShown(main) && GetForegroundWindow() == main; }, kUiLimitMs));
    }
    EXPECT_EQ(first.exitFromTray(kUiLimitMs), 0u);

    // "/startup": hidden in the tray, no balloon.
    {
        LumarothProcess hidden;
        ASSERT_TRUE(hidden.start(L"/startup"));
        HWND window = hidden.waitForWindow(kStartLimitMs);
        ASSERT_TRUE(window);
        EXPECT_FALSE(waitUntil([&] { return IsWindowVisible(window) || visibleBalloon(); }, 3500));
        EXPECT_TRUE(trayIconPresent(window));
        // The first hide after it was shown is the run's first: the balloon.
        postTrayMouse(window, WM_LBUTTONUP);
        ASSERT_TRUE(waitUntil([&] { return isShown(window); }, kUiLimitMs));
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(waitUntil([&] { return visibleBalloon() != nullptr; }, 15000));
        EXPECT_EQ(hidden.exitFromTray(kUiLimitMs), 0u);
    }
    // The switch anywhere in the command line, case-sensitive.
    struct Switch {
        const wchar_t* arguments;
        bool hidden;
    };
    const Switch switches[] = {{L"-startup", true}, {L"--x/startupnow", true}, {L"/STARTUP", false}};
    for (const Switch& option : switches) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(option.arguments)));
        LumarothProcess app;
        ASSERT_TRUE(app.start(option.arguments));
        HWND window = option.hidden ? app.waitForWindow(kStartLimitMs) : app.waitForVisibleWindow(kStartLimitMs);
        ASSERT_TRUE(window);
        // Shown or hidden before the message loop ran, which start() waited for.
        EXPECT_EQ(IsWindowVisible(window) == 0, option.hidden);
        EXPECT_EQ(app.exitFromTray(kUiLimitMs), 0u);
    }
}

TEST(Journey, TrayIcon)
{
    const int threeItems = referenceMenuHeight(true);
    ASSERT_GT(threeItems, 0);
    ASSERT_NE(threeItems, referenceMenuHeight(false)) << "a separator must change the height";
    UpdateService service;
    LumarothProcess app;
    ASSERT_TRUE(app.start());
    HWND main = app.waitForVisibleWindow(kStartLimitMs);
    ASSERT_TRUE(main);
    EXPECT_TRUE(trayIconPresent(main));

    // The first close hides the window with the balloon.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, kUiLimitMs));
    EXPECT_TRUE(IsWindow(main)) << "closing never destroys the window";
    HWND balloon = nullptr;
    EXPECT_TRUE(waitUntil([&] { return (balloon = visibleBalloon()) != nullptr; }, 15000));

    // A click on the icon shows it; minimising hides it, without a balloon.
    postTrayMouse(main, WM_LBUTTONUP);
    ASSERT_TRUE(waitUntil([&] { return isShown(main); }, kUiLimitMs));
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, kUiLimitMs));
    EXPECT_FALSE(waitUntil(
        [&] {
            HWND now = visibleBalloon();
            return now != nullptr && now != balloon;
        },
        3500))
        << "a second balloon in one run";

    // Moves and presses without release do nothing; the menu's first item
    // ("Show Lumaroth") restores the minimised window.
    for (UINT ignored : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MBUTTONUP})
        postTrayMouse(main, ignored);
    HWND menu = waitForTrayMenu(main);
    ASSERT_TRUE(menu);
    EXPECT_FALSE(IsWindowVisible(main)) << "ignored mouse messages showed the window";
    RECT menuRect{};
    GetWindowRect(menu, &menuRect);
    EXPECT_EQ(menuRect.bottom - menuRect.top, threeItems) << "two commands and a separator";
    pressKeys(menu, {VK_DOWN, VK_RETURN});
    EXPECT_TRUE(waitUntil([&] { return isShown(main); }, kUiLimitMs));

    // A double click shows the window as well.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, kUiLimitMs));
    postTrayMouse(main, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitUntil([&] { return isShown(main); }, kUiLimitMs));

    // Two commands: going down three times comes back to the first; Escape
    // closes the menu without a command.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, kUiLimitMs));
    menu = waitForTrayMenu(main);
    ASSERT_TRUE(menu);
    pressKeys(menu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(waitUntil([&] { return isShown(main); }, kUiLimitMs));
    menu = waitForTrayMenu(main);
    ASSERT_TRUE(menu);
    pressKeys(menu, {VK_ESCAPE});
    EXPECT_TRUE(waitForGone(menu, kUiLimitMs));
    EXPECT_TRUE(IsWindow(main));

    // The second command, "Exit": code 0, the icon gone, a new start at once.
    menu = waitForTrayMenu(main);
    ASSERT_TRUE(menu);
    pressKeys(menu, {VK_DOWN, VK_DOWN, VK_RETURN});
    DWORD code = 99;
    ASSERT_TRUE(app.waitForExit(kUiLimitMs, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(trayIconPresent(main));
    LumarothProcess next;
    ASSERT_TRUE(next.start());
    HWND again = next.waitForVisibleWindow(kStartLimitMs);
    ASSERT_TRUE(again) << "a new instance runs at once";
    DWORD stillRunning = 0;
    EXPECT_FALSE(next.waitForExit(0, &stillRunning));

    // The shell restarted: its "TaskbarCreated" broadcast brings the icon back.
    NOTIFYICONDATAW lost{};
    lost.cbSize = NOTIFYICONDATAW_V3_SIZE;
    lost.hWnd = again;
    lost.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &lost);
    ASSERT_FALSE(trayIconPresent(again));
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(waitUntil([&] { return trayIconPresent(again); }, kUiLimitMs));
    EXPECT_EQ(next.exitFromTray(kUiLimitMs), 0u);
}
