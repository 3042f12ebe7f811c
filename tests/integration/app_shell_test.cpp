// Start-up pieces and the tray icon in-process: the window classes, the main
// window's geometry, the single-instance guard and the icon's behaviour.
#include "app_test_support.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

// 0 for a handle that is no icon (any more).
int iconWidth(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return 0;
    using ScopedBitmap = ScopedResource<HBITMAP, DeleteGdiObject>;
    const ScopedBitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap = {};
    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    return bitmap.bmWidth;
}

LRESULT CALLBACK refuseEverything(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_COPYDATA ? FALSE : DefWindowProcW(window, message, wParam, lParam);
}

class ShellTest : public MainWindowTest {
protected:
    void TearDown() override
    {
        leaveShell();
        MainWindowTest::TearDown();
    }
    // A shell that takes no icon yet, as at a session's start: a window of
    // the shell's tray class in front of the real one (the shell's calls go
    // to the first), refusing every request.
    void refuseIcons()
    {
        static const WNDCLASSW type = {0,       refuseEverything, 0,       0,       GetModuleHandleW(nullptr),
                                       nullptr, nullptr,          nullptr, nullptr, L"Shell_TrayWnd"};
        static const ATOM atom = RegisterClassW(&type);
        shell = CreateWindowExW(WS_EX_TOPMOST, MAKEINTATOM(atom), nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_EQ(FindWindowW(L"Shell_TrayWnd", nullptr), shell);
    }
    void leaveShell()
    {
        if (shell)
            DestroyWindow(shell);
        shell = nullptr;
    }
    // The main window made while the shell takes no icon; the icon's record.
    NOTIFYICONDATAW windowWhoseFirstAddFails()
    {
        refuseIcons();
        createWindow();
        return trayIconData();
    }

    HWND shell = nullptr;
};

TEST_F(ShellTest, WindowClassesAreRegisteredAsSpecified)
{
    struct Case {
        const wchar_t* name;
        UINT style;
        bool icon;
        bool cursor;
        HBRUSH background;
    };
    const Case cases[] = {
        {L"LumarothMainWindow", CS_HREDRAW | CS_VREDRAW, true, true, nullptr},
        {L"LumarothFrame", 0, false, false, nullptr},
        {L"LumarothAlert", 0, false, true, nullptr},
        {L"LumarothAbout", 0, true, true, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        WNDCLASSEXW info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), c.name, &info));
        EXPECT_EQ(info.style, c.style);
        EXPECT_EQ(info.hIcon != nullptr, c.icon);
        EXPECT_EQ(info.hIconSm != nullptr, c.icon);
        EXPECT_EQ(info.hCursor, c.cursor ? LoadCursorW(nullptr, IDC_ARROW) : nullptr);
        EXPECT_EQ(info.hbrBackground, c.background);
        EXPECT_EQ(info.cbClsExtra, 0);
        EXPECT_EQ(info.cbWndExtra, 0);
        EXPECT_EQ(info.lpszMenuName, nullptr);
    }
}

TEST_F(ShellTest, MainWindowIsFixedSizeCentredAndTitled)
{
    createWindow();
    EXPECT_EQ(windowText(mainWindow), L"Vexlumen - Free Dynamic DNS v2.0.1");
    const LONG style = GetWindowLongW(mainWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(GetWindowLongW(mainWindow, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetMenu(mainWindow), nullptr);
    EXPECT_EQ(GetParent(mainWindow), nullptr);

    RECT frame = {0, 0, 470, 248};
    AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT window = {};
    GetWindowRect(mainWindow, &window);
    EXPECT_EQ(window.right - window.left, width);
    EXPECT_EQ(window.bottom - window.top, height);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    RECT client = {};
    GetClientRect(mainWindow, &client);
    EXPECT_EQ(client.right, 470);
    EXPECT_EQ(client.bottom, 248);
}

TEST_F(ShellTest, SecondInstanceBringsFirstWindowForward)
{
    struct Case {
        const char* name;
        int showBefore;
    };
    const Case cases[] = {{"hidden", SW_HIDE}, {"minimised", SW_SHOWMINIMIZED}};
    createWindow();
    ScopedHandle first;
    ASSERT_FALSE(activateRunningInstance(&first));
    ASSERT_TRUE(first);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShowWindow(mainWindow, c.showBefore);
        ScopedHandle second(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        EXPECT_TRUE(activateRunningInstance(&second));
        EXPECT_FALSE(second);
        EXPECT_TRUE(IsWindowVisible(mainWindow));
        EXPECT_FALSE(IsIconic(mainWindow));
    }
}

// The mutex is owned by the GUI thread; the main window's destruction gives
// it up, so another thread (a new instance) can take it at once.
TEST_F(ShellTest, DestroyingMainWindowReleasesTheMutex)
{
    ScopedHandle mutex;
    ASSERT_FALSE(activateRunningInstance(&mutex));
    createWindow();
    auto takenElsewhere = [] {
        DWORD result = WAIT_FAILED;
        std::thread([&result] {
            HANDLE other = OpenMutexW(SYNCHRONIZE, FALSE, kSingleInstanceMutex);
            result = WaitForSingleObject(other, 0);
            if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED)
                ReleaseMutex(other);
            CloseHandle(other);
        }).join();
        return result == WAIT_OBJECT_0;
    };
    EXPECT_FALSE(takenElsewhere());
    DestroyWindow(mainWindow);
    EXPECT_TRUE(takenElsewhere());
}

TEST_F(ShellTest, MessageLoopReturnsTheQuitCode)
{
    PostQuitMessage(7);
    EXPECT_EQ(runMessageLoop(), 7);
}

TEST_F(ShellTest, TrayIconRecordIsFilledOnCreation)
{
    createWindow();
    EXPECT_EQ(trayIconData().cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V3_SIZE));
    EXPECT_EQ(trayIconData().hWnd, mainWindow);
    EXPECT_EQ(trayIconData().uID, kTrayIconId);
    EXPECT_EQ(trayIconData().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(trayIconData().uCallbackMessage, kTrayCallbackMessage);
    EXPECT_NE(trayIconData().hIcon, nullptr);
    EXPECT_STREQ(trayIconData().szTip, L"Vexlumen");
    // NIM_MODIFY succeeds only for an icon the shell knows.
    NOTIFYICONDATAW probe = trayIconData();
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST_F(ShellTest, IconIsAddedAgainWhenTheShellRestarts)
{
    createWindow();
    NOTIFYICONDATAW probe = trayIconData();
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &probe));
    ASSERT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
    SendMessageW(mainWindow, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
    // After "Exit" the icon stays gone.
    SendMessageW(mainWindow, WM_COMMAND, IDM_TRAY_EXIT, 0);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

// The shell draws the image unscaled: at a new display scale it gets one of
// the new small-icon size, and no image is left behind.
TEST_F(ShellTest, IconIsReloadedAtTheNewDpiSize)
{
    createWindow();
    const int dpi = dpiForWindow(mainWindow);
    const int smallIcon = GetSystemMetrics(SM_CXSMICON);
    const HICON before = trayIconData().hIcon;
    EXPECT_EQ(iconWidth(before), smallIcon);
    RECT suggested = {};
    GetWindowRect(mainWindow, &suggested);
    SendMessageW(mainWindow, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&suggested));
    const HICON after = trayIconData().hIcon;
    EXPECT_EQ(iconWidth(after), 2 * smallIcon);
    EXPECT_EQ(iconWidth(before), 0);
    NOTIFYICONDATAW probe = trayIconData();
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
    SendMessageW(mainWindow, WM_COMMAND, IDM_TRAY_EXIT, 0);
    EXPECT_EQ(iconWidth(after), 0);
}

// At sign-in the shell may not take the icon yet: the retry adds it once the
// shell does. An add that timed out may have added the icon all the same;
// every later add of it fails, and the icon is known to be there.
TEST_F(ShellTest, FailedAddIsRetriedUntilTheIconIsThere)
{
    NOTIFYICONDATAW probe = windowWhoseFirstAddFails();
    EXPECT_GT(trayRetryDelayMs(), 0u);
    leaveShell();
    EXPECT_TRUE(pumpUntil([&] { return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE; }));
    EXPECT_EQ(trayRetryDelayMs(), 0u);
    ASSERT_FALSE(Shell_NotifyIconW(NIM_ADD, &probe));
    addTrayIcon(mainWindow);
    EXPECT_EQ(trayRetryDelayMs(), 0u);
    EXPECT_FALSE(KillTimer(mainWindow, IDT_TRAY_RETRY));
}

// An autostarted window is hidden, and the icon is its only way in: the adds
// go on for as long as they fail, well past two minutes, each wait twice the
// last up to a minute. A restarted shell starts the waits short again, and
// "Exit" ends them.
TEST_F(ShellTest, FailedAddKeepsBeingRetriedWithBackOff)
{
    NOTIFYICONDATAW probe = windowWhoseFirstAddFails();
    EXPECT_EQ(trayRetryDelayMs(), 2000u);
    for (UINT expected : {4000u, 8000u, 16000u, 32000u, 60000u, 60000u}) {
        SendMessageW(mainWindow, WM_TIMER, IDT_TRAY_RETRY, 0);
        EXPECT_EQ(trayRetryDelayMs(), expected);
    }
    // About an hour of failed adds.
    for (int i = 0; i < 60; ++i)
        SendMessageW(mainWindow, WM_TIMER, IDT_TRAY_RETRY, 0);
    EXPECT_EQ(trayRetryDelayMs(), 60000u);
    ASSERT_TRUE(KillTimer(mainWindow, IDT_TRAY_RETRY));
    SetTimer(mainWindow, IDT_TRAY_RETRY, trayRetryDelayMs(), nullptr);

    leaveShell();
    SendMessageW(mainWindow, WM_TIMER, IDT_TRAY_RETRY, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
    EXPECT_EQ(trayRetryDelayMs(), 0u);
    EXPECT_FALSE(KillTimer(mainWindow, IDT_TRAY_RETRY));

    // A restarted shell that does not take the icon at once.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &probe));
    refuseIcons();
    SendMessageW(mainWindow, taskbarCreated, 0, 0);
    EXPECT_EQ(trayRetryDelayMs(), 2000u);
    for (int i = 0; i < 3; ++i)
        SendMessageW(mainWindow, WM_TIMER, IDT_TRAY_RETRY, 0);
    EXPECT_EQ(trayRetryDelayMs(), 16000u);
    SendMessageW(mainWindow, taskbarCreated, 0, 0);
    EXPECT_EQ(trayRetryDelayMs(), 2000u);

    SendMessageW(mainWindow, WM_COMMAND, IDM_TRAY_EXIT, 0);
    EXPECT_EQ(trayRetryDelayMs(), 0u);
}

TEST_F(ShellTest, NoticeIsOfferedOnlyAtFirstHide)
{
    createWindow();
    EXPECT_FALSE(wasTrayNoticeShown());
    hideToTray(mainWindow);
    EXPECT_TRUE(wasTrayNoticeShown());
    EXPECT_FALSE(trayIconData().uFlags & NIF_INFO);
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    // The balloon is a visible tooltip window owned by the tray.
    EXPECT_TRUE(pumpUntil([] {
        HWND tip = nullptr;
        while ((tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)))
            if (IsWindowVisible(tip) && windowText(tip).find(L"still running") != std::wstring::npos)
                return true;
        HWND any = nullptr;
        while ((any = FindWindowExW(nullptr, any, L"tooltips_class32", nullptr)))
            if (IsWindowVisible(any) && (GetWindowLongW(any, GWL_STYLE) & TTS_BALLOON))
                return true;
        return false;
    }));
}

TEST_F(ShellTest, TrayClicksShowTheWindowOtherMouseMessagesDoNothing)
{
    struct Case {
        UINT mouseMessage;
        bool shows;
    };
    const Case cases[] = {{WM_LBUTTONUP, true},    {WM_LBUTTONDBLCLK, true}, {WM_MOUSEMOVE, false},
                          {WM_LBUTTONDOWN, false}, {WM_RBUTTONDOWN, false},  {WM_MBUTTONUP, false}};
    createWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mouseMessage);
        ShowWindow(mainWindow, SW_SHOWMINIMIZED);
        ShowWindow(mainWindow, SW_HIDE);
        SendMessageW(mainWindow, WM_TRAYICON, 1, c.mouseMessage);
        EXPECT_EQ(IsWindowVisible(mainWindow) != FALSE, c.shows);
        if (c.shows)
            EXPECT_FALSE(IsIconic(mainWindow));
    }
}

TEST_F(ShellTest, ShowLumarothMenuCommandRestoresWindow)
{
    createWindow();
    ShowWindow(mainWindow, SW_SHOWMINIMIZED);
    SendMessageW(mainWindow, WM_SIZE, SIZE_MINIMIZED, 0);
    ASSERT_FALSE(IsWindowVisible(mainWindow));
    SendMessageW(mainWindow, WM_COMMAND, IDM_TRAY_SHOW, 0);
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_FALSE(IsIconic(mainWindow));
}

// The popup menu is modal: a helper thread reads it while it is open and
// closes it with Escape.
TEST_F(ShellTest, RightClickOpensTheTrayMenu)
{
    createWindow();
    std::vector<std::wstring> items;
    std::vector<UINT> ids;
    std::thread reader([&] {
        const ULONGLONG deadline = GetTickCount64() + 10000;
        while (GetTickCount64() < deadline) {
            HWND popup = FindWindowW(L"#32768", nullptr);
            if (popup && IsWindowVisible(popup)) {
                DWORD_PTR menu = 0;
                SendMessageTimeoutW(popup, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &menu);
                const int count = GetMenuItemCount(reinterpret_cast<HMENU>(menu));
                for (int i = 0; i < count; ++i) {
                    wchar_t text[64] = {};
                    GetMenuStringW(reinterpret_cast<HMENU>(menu), i, text, 64, MF_BYPOSITION);
                    items.push_back(text);
                    ids.push_back(GetMenuItemID(reinterpret_cast<HMENU>(menu), i));
                }
                PostMessageW(mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
                PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                return;
            }
            Sleep(20);
        }
    });
    SendMessageW(mainWindow, WM_TRAYICON, 1, WM_RBUTTONUP);
    reader.join();
    EXPECT_EQ(items, (std::vector<std::wstring>{L"Show Lumaroth", L"", L"Exit"}));
    EXPECT_EQ(ids, (std::vector<UINT>{2001, 0, 2003}));
    EXPECT_TRUE(IsWindow(mainWindow));
}

}  // namespace
