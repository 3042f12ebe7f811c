// The About window: placement, modality, its one instance and its exits.
#include "tests/e2e/e2e_screen.h"
#include "tests/e2e/e2e_wait.h"
#include "tests/e2e/journeys.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr DWORD kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

HWND openAbout(HWND main)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(6001, BN_CLICKED), LPARAM(GetDlgItem(main, 6001)),
                        SMTO_ABORTIFHUNG, 5000, &result);
    HWND about = nullptr;
    waitUntil(
        [&] {
            about = FindWindowW(L"LumarothAbout", nullptr);
            return about && IsWindowVisible(about);
        },
        kUiLimitMs);
    return about;
}

// Centred over the main window's rectangle, sized for a 360 x 308 client.
void expectCentredOver(HWND about, HWND main)
{
    RECT size{0, 0, 360, 308};
    AdjustWindowRect(&size, kAboutStyle, FALSE);
    int width = size.right - size.left, height = size.bottom - size.top;
    RECT owner{}, window{};
    GetWindowRect(main, &owner);
    GetWindowRect(about, &window);
    EXPECT_EQ(window.right - window.left, width);
    EXPECT_EQ(window.bottom - window.top, height);
    EXPECT_EQ(window.left, owner.left + ((owner.right - owner.left) - width) / 2);
    EXPECT_EQ(window.top, owner.top + ((owner.bottom - owner.top) - height) / 2);
}

}  // namespace

TEST(Journey, AboutWindow)
{
    UpdateService service;
    seedSignedIn(service, "198.51.100.20");
    LumarothProcess app;
    HWND main = startAndSettle(app, service);
    ASSERT_TRUE(main);

    HWND about = openAbout(main);
    ASSERT_TRUE(about);
    EXPECT_EQ(windowText(about), L"About Lumaroth Client");
    EXPECT_EQ(GetWindow(about, GW_OWNER), main);
    EXPECT_EQ(DWORD(GetWindowLongW(about, GWL_STYLE)) & (kAboutStyle | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              kAboutStyle);
    EXPECT_TRUE(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    expectCentredOver(about, main);
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits while About is open";
    expectControls(about, controlsOn(aboutWindowLayout()));
    saveScreenshot(about, L"about-window");

    // Asking again raises the one window instead of making another.
    EXPECT_EQ(openAbout(main), about);
    EXPECT_EQ(topLevelWindows(L"LumarothAbout", false).size(), 1u);

    // "Visit Website" opens the site and the window stays.
    clickButton(about, 6002);
    EXPECT_TRUE(waitForOpenedUrl(kWebsite, kUiLimitMs));
    EXPECT_TRUE(IsWindowVisible(about));

    // Every way of closing gives the main window back.
    struct Closing {
        const char* what;
        std::function<void(HWND)> close;
    };
    const Closing closings[] = {
        {"Close button", [](HWND window) { PostMessageW(GetDlgItem(window, 6003), BM_CLICK, 0, 0); }},
        {"caption close box", [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }},
        {"Alt+F4", [](HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Closing& closing : closings) {
        SCOPED_TRACE(closing.what);
        if (!IsWindow(about))
            about = openAbout(main);
        ASSERT_TRUE(about);
        EXPECT_FALSE(IsWindowEnabled(main));
        closing.close(about);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); }, kUiLimitMs));
        EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(main) != 0; }, kUiLimitMs));
        EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == main; }, kUiLimitMs));
    }

    // Centred over the main window also when that stands partly off screen.
    SetWindowPos(main, nullptr, -200, -60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    about = openAbout(main);
    ASSERT_TRUE(about);
    expectCentredOver(about, main);
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(main) != 0; }, kUiLimitMs));
    EXPECT_EQ(app.exitFromTray(kUiLimitMs), 0u);
}
