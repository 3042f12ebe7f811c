// The two panels of the main window as built on a real window: classes, ids,
// texts, styles, rectangles, fonts, focus, Tab order and the window's size.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/common/panel_layouts.h"
#include "tests/integration/ui_test_window.h"
#include "ui/login_panel.h"
#include "ui/status_panel.h"

#include <algorithm>
#include <cwctype>

using namespace uitest;

namespace {

const wchar_t kDash[] = L"\u2014";

using Expected = PanelControl;

bool sameClass(const std::wstring& a, const wchar_t* b)
{
    if (a.size() != wcslen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (towlower(a[i]) != towlower(b[i]))
            return false;
    return true;
}

// The run's DPI (a prefix with another LogPixels runs these tables again):
// table values are 96-DPI values, exact at 96 and within a pixel elsewhere.
int runDpi()
{
    return dpiForWindow(nullptr);
}
int scaled(int value)
{
    return MulDiv(value, runDpi(), 96);
}
int slack()
{
    return runDpi() == 96 ? 0 : 1;
}

// The text fits the control, measured with the control's own font.
void expectTextFits(HWND control)
{
    const std::wstring text = windowText(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (text.empty() || !font || classOf(control) == L"Edit")
        return;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT client = {};
    GetClientRect(control, &client);
    EXPECT_LE(extent.cx, client.right) << "text wider than its control";
    EXPECT_LE(extent.cy, client.bottom) << "text taller than its control";
}

// Compares one control, found by position in creation order, with its row.
void expectControl(HWND control, const Expected& e)
{
    SCOPED_TRACE(testing::Message() << "control id " << e.id << " class "
                                    << std::string(e.className, e.className + wcslen(e.className)));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), e.id);
    EXPECT_TRUE(sameClass(classOf(control), e.className))
        << std::string(classOf(control).begin(), classOf(control).end());
    if (e.text)
        EXPECT_EQ(windowText(control), e.text);
    DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & ~WS_DISABLED;
    EXPECT_EQ(style, WS_CHILD | WS_VISIBLE | e.style) << std::hex << style;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE)), e.exStyle);
    RECT r = rectInParent(control);
    EXPECT_NEAR(r.left, scaled(e.x), slack());
    EXPECT_NEAR(r.top, scaled(e.y), slack());
    EXPECT_NEAR(r.right - r.left, scaled(e.width), slack());
    EXPECT_NEAR(r.bottom - r.top, scaled(e.height), slack());
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    EXPECT_EQ(font, sharedFontOf(e.font));
    expectTextFits(control);
}

// Walks the main window's children (and the banner's) in creation order.
void expectPanel(HWND window, const std::vector<Expected>& rows)
{
    std::vector<HWND> mainChildren = childrenOf(window);
    std::vector<HWND> bannerChildren;
    for (HWND c : mainChildren)
        if (classOf(c) == kAlertClass)
            bannerChildren = childrenOf(c);
    size_t mainIndex = 0, bannerIndex = 0;
    for (const Expected& e : rows) {
        std::vector<HWND>& list = e.inBanner ? bannerChildren : mainChildren;
        size_t& index = e.inBanner ? bannerIndex : mainIndex;
        ASSERT_LT(index, list.size()) << "missing control " << e.id;
        expectControl(list[index++], e);
    }
    EXPECT_EQ(mainIndex, mainChildren.size()) << "extra controls on the main window";
    EXPECT_EQ(bannerIndex, bannerChildren.size()) << "extra controls in the banner";
}

std::vector<Expected> statusPanelRows(bool banner, const wchar_t* user, const wchar_t* host, const wchar_t* ip,
                                      const wchar_t* next, const wchar_t* line)
{
    return statusPanelLayout(banner, user, host, ip, next, line);
}

std::vector<Expected> loginPanelRows(bool signedIn, const AppState& s)
{
    return loginPanelLayout(signedIn, s.hostname.c_str(), s.username.c_str(), s.updateKey.c_str());
}

// The ids Tab visits from the first stop, as IsDialogMessageW moves.
std::vector<int> tabOrder(HWND window)
{
    std::vector<int> ids;
    HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    for (HWND c = first; c; c = GetNextDlgTabItem(window, c, FALSE)) {
        ids.push_back(GetDlgCtrlID(c));
        if (ids.size() > 20 || GetNextDlgTabItem(window, c, FALSE) == first)
            break;
    }
    return ids;
}

class UiLayout : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window = createStandInWindow();
    }

    // The outer size that the window's own tracking size allows.
    void expectClientAndTracking(int height)
    {
        RECT client = clientSize();
        EXPECT_NEAR(client.right, scaled(470), slack());
        EXPECT_NEAR(client.bottom, scaled(height), slack());
        EXPECT_EQ(appState.clientHeight, height);
    }
};

TEST_F(UiLayout, StatusPanelWithAutostartOn)
{
    applyScenario({true, true, UpdateStatus::Succeeded, L"203.0.113.7", L""});
    showStatusPanel(window);
    EXPECT_FALSE(appState.loginPanelShown);
    expectPanel(window, statusPanelRows(false, L"alice", L"home.example.net", L"203.0.113.7", L"02:00s", L"Ready"));
    expectClientAndTracking(248);
    EXPECT_TRUE(IsWindowEnabled(child(IDC_UPDATE_IP)));
    EXPECT_EQ(tabOrder(window), (std::vector<int>{IDC_ABOUT, IDC_UPDATE_IP, IDC_EDIT_HOST, IDC_WEBSITE_LINK}));
}

TEST_F(UiLayout, StatusPanelWithBannerWhenAutostartOff)
{
    applyScenario({true, false, UpdateStatus::Idle, L"", L""});
    appState.hasLastUpdateTime = true;
    appState.lastUpdateTime = SYSTEMTIME{2025, 3, 5, 7, 16, 5, 9, 0};
    showStatusPanel(window);
    expectPanel(window, statusPanelRows(true, L"alice", L"home.example.net", kDash, L"02:00s",
                                        L"Updated: 3/7/2025 4:05:09 PM"));
    expectClientAndTracking(288);
    EXPECT_EQ(tabOrder(window),
              (std::vector<int>{IDC_ABOUT, IDC_ENABLE_AUTOSTART, IDC_UPDATE_IP, IDC_EDIT_HOST, IDC_WEBSITE_LINK}));
}

TEST_F(UiLayout, StatusPanelInitialTextsByState)
{
    const struct {
        Scenario scenario;
        const wchar_t *user, *host, *ip, *next, *line;
        bool updateEnabled;
    } cases[] = {
        {{false, true, UpdateStatus::Idle, L"", L""}, kDash, kDash, kDash, kDash, L"Ready", false},
        {{true, true, UpdateStatus::Updating, L"198.51.100.1", L""},
         L"alice",
         L"home.example.net",
         L"Checking...",
         L"02:00s",
         L"Updating...",
         false},
        {{true, true, UpdateStatus::Failed, L"198.51.100.1", L"Invalid username or key."},
         L"alice",
         L"home.example.net",
         L"198.51.100.1",
         L"02:00s",
         L"Invalid username or key.",
         true},
        {{true, true, UpdateStatus::Failed, L"", L""}, L"alice", L"home.example.net", kDash, L"02:00s", L"Ready", true},
    };
    for (const auto& c : cases) {
        applyScenario(c.scenario);
        showStatusPanel(window);
        SCOPED_TRACE(testing::Message() << "status " << static_cast<int>(c.scenario.status));
        EXPECT_EQ(windowText(child(IDC_VALUE_USERNAME)), c.user);
        EXPECT_EQ(windowText(child(IDC_VALUE_HOSTNAME)), c.host);
        EXPECT_EQ(windowText(child(IDC_VALUE_IP)), c.ip);
        EXPECT_EQ(windowText(child(IDC_VALUE_NEXT_CHECK)), c.next);
        EXPECT_EQ(windowText(child(IDC_STATUS_LINE)), c.line);
        EXPECT_EQ(windowText(child(IDC_UPDATE_IP)), L"Update IP");
        EXPECT_EQ(IsWindowEnabled(child(IDC_UPDATE_IP)) != FALSE, c.updateEnabled);
    }
}

TEST_F(UiLayout, LoginPanelFirstStart)
{
    applyScenario({false, true, UpdateStatus::Idle, L"", L""});
    appState.loginErrorText = L"left over";
    showStatusPanel(window);  // with the banner, so the rebuild must shrink the window
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(false));
    showStatusPanel(window);
    showLoginPanel(window);
    EXPECT_TRUE(appState.loginPanelShown);
    EXPECT_TRUE(appState.loginErrorText.empty());
    expectPanel(window, loginPanelRows(false, appState));
    expectClientAndTracking(248);
    EXPECT_EQ(GetFocus(), child(IDC_EDIT_HOSTNAME));
    EXPECT_EQ(tabOrder(window), (std::vector<int>{IDC_EDIT_HOSTNAME, IDC_EDIT_USERNAME, IDC_EDIT_KEY, IDC_LOGIN}));
    EXPECT_EQ(FindWindowExW(window, nullptr, kAlertClass, nullptr), nullptr);
    // Screen readers name a field after the static just before it.
    const std::pair<int, const wchar_t*> labels[] = {{IDC_EDIT_HOSTNAME, L"Hostname:"},
                                                     {IDC_EDIT_USERNAME, L"Username:"},
                                                     {IDC_EDIT_KEY, L"Key:"}};
    for (const auto& label : labels)
        EXPECT_EQ(windowText(GetWindow(child(label.first), GW_HWNDPREV)), label.second);
}

TEST_F(UiLayout, LoginPanelEditingStoredAccount)
{
    applyScenario({true, true, UpdateStatus::Succeeded, L"203.0.113.7", L""});
    showLoginPanel(window);
    expectPanel(window, loginPanelRows(true, appState));
    EXPECT_EQ(SendMessageW(child(IDC_EDIT_KEY), EM_GETPASSWORDCHAR, 0, 0) != 0, true);
    EXPECT_EQ(GetFocus(), child(IDC_EDIT_USERNAME));
    EXPECT_EQ(tabOrder(window), (std::vector<int>{IDC_LOGOUT, IDC_EDIT_HOSTNAME, IDC_EDIT_USERNAME, IDC_EDIT_KEY,
                                                  IDC_LOGIN, IDC_CANCEL}));
}

TEST_F(UiLayout, LoginPanelPartlyFilledAccount)
{
    applyScenario({false, true, UpdateStatus::Idle, L"", L""});
    appState.hostname = L"home.example.net";
    showLoginPanel(window);
    expectPanel(window, loginPanelRows(false, appState));
    EXPECT_EQ(windowText(child(IDC_EDIT_HOSTNAME)), L"home.example.net");
    EXPECT_EQ(GetFocus(), child(IDC_EDIT_USERNAME));
}

TEST_F(UiLayout, RebuildsLeaveNothingBehind)
{
    applyScenario({true, false, UpdateStatus::Idle, L"", L""});
    showStatusPanel(window);
    HWND banner = FindWindowExW(window, nullptr, kAlertClass, nullptr);
    ASSERT_NE(banner, nullptr);
    HWND bannerButton = GetDlgItem(banner, IDC_ENABLE_AUTOSTART);
    ASSERT_NE(bannerButton, nullptr);

    showLoginPanel(window);
    EXPECT_FALSE(IsWindow(banner));
    EXPECT_FALSE(IsWindow(bannerButton));
    EXPECT_EQ(childrenOf(window).size(), loginPanelRows(true, appState).size());

    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(true));
    showStatusPanel(window);
    showStatusPanel(window);
    EXPECT_EQ(childrenOf(window).size(), statusPanelRows(false, L"", L"", L"", L"", L"").size());
    expectClientAndTracking(248);
}

TEST_F(UiLayout, ResizeKeepsTopLeftCorner)
{
    applyScenario({true, false, UpdateStatus::Idle, L"", L""});
    SetWindowPos(window, nullptr, -120, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before = {};
    GetWindowRect(window, &before);
    showStatusPanel(window);
    RECT after = {};
    GetWindowRect(window, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_NEAR((after.bottom - after.top) - (before.bottom - before.top), scaled(40), slack());
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(UiLayout, BannerForwardsEnableNowToMainWindow)
{
    applyScenario({true, false, UpdateStatus::Idle, L"", L""});
    showStatusPanel(window);
    HWND banner = FindWindowExW(window, nullptr, kAlertClass, nullptr);
    ASSERT_NE(banner, nullptr);
    SendMessageW(GetDlgItem(banner, IDC_ENABLE_AUTOSTART), BM_CLICK, 0, 0);
    pumpMessages();
    ASSERT_FALSE(receivedCommands().empty());
    EXPECT_EQ(receivedCommands().back(), std::make_pair(IDC_ENABLE_AUTOSTART, 0));
}

TEST_F(UiLayout, WebsiteLinkClickReachesMainWindow)
{
    applyScenario({true, true, UpdateStatus::Idle, L"", L""});
    showStatusPanel(window);
    const LPARAM at = MAKELPARAM(5, 5);
    SendMessageW(child(IDC_WEBSITE_LINK), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(child(IDC_WEBSITE_LINK), WM_LBUTTONUP, 0, at);
    // Space and Enter while it has the focus, as a click.
    SendMessageW(child(IDC_WEBSITE_LINK), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(child(IDC_WEBSITE_LINK), WM_KEYDOWN, VK_RETURN, 0);
    pumpMessages();
    const auto clicks = std::count(receivedCommands().begin(), receivedCommands().end(),
                                   std::make_pair(IDC_WEBSITE_LINK, static_cast<int>(STN_CLICKED)));
    EXPECT_EQ(clicks, 3);
}

TEST(UiFonts, SharedFontsAreSegoeUiInFourVariants)
{
    createSharedGdiObjects();
    const struct {
        UiFont font;
        LONG height;
        LONG weight;
        BYTE underline;
    } cases[] = {
        {UiFont::Body, -13, 400, 0},
        {UiFont::Heading, -13, 600, 0},
        {UiFont::Small, -11, 400, 0},
        {UiFont::Link, -11, 400, 1},
    };
    for (const auto& c : cases) {
        LOGFONTW lf = {};
        ASSERT_EQ(GetObjectW(uiFont(c.font), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
        EXPECT_EQ(lf.lfHeight, c.height);
        EXPECT_EQ(lf.lfWeight, c.weight);
        EXPECT_EQ(lf.lfUnderline, c.underline);
        EXPECT_EQ(lf.lfItalic, 0);
        EXPECT_EQ(lf.lfStrikeOut, 0);
        EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(lf.lfQuality, CLEARTYPE_QUALITY);
        EXPECT_EQ(lf.lfPitchAndFamily, FF_SWISS | DEFAULT_PITCH);
        EXPECT_STREQ(lf.lfFaceName, L"Segoe UI");
    }
    LOGBRUSH brush = {};
    ASSERT_EQ(GetObjectW(backgroundBrush(), sizeof(brush), &brush), static_cast<int>(sizeof(brush)));
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(255, 255, 255));
    deleteSharedGdiObjects();
    EXPECT_EQ(uiFont(UiFont::Body), nullptr);
    EXPECT_EQ(backgroundBrush(), nullptr);
}

}  // namespace
