// The About window on a real owner window: placement, controls, modality,
// the single instance, every way of closing, and "Visit Website".
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/integration/ui_test_window.h"

#include <fstream>
#include <iterator>
#include <sstream>

using namespace uitest;

namespace {

const DWORD kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

std::vector<HWND> aboutWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM list) -> BOOL {
            if (classOf(w) == kAboutClass)
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The table's 96-DPI values at the run's DPI (another LogPixels runs the
// tables again), exact at 96 and within a pixel elsewhere.
int scaled(int value)
{
    return MulDiv(value, dpiForWindow(nullptr), 96);
}
int slack()
{
    return dpiForWindow(nullptr) == 96 ? 0 : 1;
}

// Where the About window must stand for the owner's current rectangle.
POINT expectedOrigin(HWND owner)
{
    RECT size = {0, 0, scaled(360), scaled(308)};
    AdjustWindowRect(&size, kAboutStyle, FALSE);
    RECT r = {};
    GetWindowRect(owner, &r);
    return {r.left + ((r.right - r.left) - (size.right - size.left)) / 2,
            r.top + ((r.bottom - r.top) - (size.bottom - size.top)) / 2};
}

// The pages the prefix's URL recorder was asked to open.
std::string openedUrls()
{
    std::ifstream in("C:\\opened-urls.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class UiAbout : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window = createStandInWindow();
    }

    HWND open()
    {
        openAboutWindow(window);
        pumpMessages();
        return FindWindowW(kAboutClass, nullptr);
    }
};

TEST_F(UiAbout, CentredOverTheMainWindowWhereverItStands)
{
    const POINT places[] = {{100, 80}, {-300, -150}, {900, 650}};
    for (POINT place : places) {
        SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        HWND about = open();
        ASSERT_NE(about, nullptr);
        RECT r = {};
        GetWindowRect(about, &r);
        POINT want = expectedOrigin(window);
        EXPECT_NEAR(r.left, want.x, slack()) << place.x;
        EXPECT_NEAR(r.top, want.y, slack()) << place.y;
        RECT client = {};
        GetClientRect(about, &client);
        EXPECT_NEAR(client.right, scaled(360), slack());
        EXPECT_NEAR(client.bottom, scaled(308), slack());
        SendMessageW(about, WM_CLOSE, 0, 0);
    }
}

TEST_F(UiAbout, WindowAndControlsAsDesigned)
{
    HWND about = open();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(windowText(about), L"About Lumaroth Client");
    const DWORD frameBits = WS_POPUP | WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                            WS_MAXIMIZEBOX;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(about, GWL_STYLE)) & frameBits, kAboutStyle);
    EXPECT_TRUE(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(GetWindow(about, GW_OWNER), window);
    EXPECT_TRUE(IsWindowVisible(about));

    const std::vector<PanelControl> rows = aboutWindowLayout();
    std::vector<HWND> controls = childrenOf(about);
    ASSERT_EQ(controls.size(), rows.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const auto& e = rows[i];
        HWND c = controls[i];
        SCOPED_TRACE(testing::Message() << "row " << i);
        EXPECT_EQ(GetDlgCtrlID(c), e.id);
        EXPECT_EQ(_wcsicmp(classOf(c).c_str(), e.className), 0);
        if (!(e.style & SS_ICON))
            EXPECT_EQ(windowText(c), e.text);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE)), WS_CHILD | WS_VISIBLE | e.style);
        RECT r = rectInParent(c);
        EXPECT_NEAR(r.left, scaled(e.x), slack());
        EXPECT_NEAR(r.top, scaled(e.y), slack());
        EXPECT_NEAR(r.right - r.left, scaled(e.width), slack());
        EXPECT_NEAR(r.bottom - r.top, scaled(e.height), slack());
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(c, GWL_EXSTYLE)), e.exStyle);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)), sharedFontOf(e.font));
    }
    EXPECT_NE(SendMessageW(controls[0], STM_GETICON, 0, 0), 0);

    // The separator between the version line and the body text.
    HDC dc = GetDC(about);
    EXPECT_EQ(GetPixel(dc, scaled(100), scaled(122)), RGB(0xC8, 0xC8, 0xC8));
    EXPECT_EQ(GetPixel(dc, scaled(100), scaled(124)), RGB(0xFF, 0xFF, 0xFF));
    ReleaseDC(about, dc);
    SendMessageW(about, WM_CLOSE, 0, 0);
}

TEST_F(UiAbout, ModalWhileOpenAndOnlyOne)
{
    HWND about = open();
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowEnabled(window));
    openAboutWindow(window);
    pumpMessages();
    EXPECT_EQ(aboutWindows().size(), 1u);
    EXPECT_EQ(FindWindowW(kAboutClass, nullptr), about);
    SendMessageW(about, WM_CLOSE, 0, 0);
}

TEST_F(UiAbout, EveryWayOfClosingReenablesTheMainWindow)
{
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
    } ways[] = {
        {"Close button", WM_COMMAND, MAKEWPARAM(IDC_ABOUT_CLOSE, BN_CLICKED)},
        {"close box / Alt+F4", WM_CLOSE, 0},
        {"system menu Close", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const auto& way : ways) {
        HWND about = open();
        ASSERT_NE(about, nullptr) << way.name;
        ASSERT_FALSE(IsWindowEnabled(window));
        SendMessageW(about, way.message, way.wParam, 0);
        pumpMessages();
        EXPECT_FALSE(IsWindow(about)) << way.name;
        EXPECT_TRUE(IsWindowEnabled(window)) << way.name;
        EXPECT_EQ(GetForegroundWindow(), window) << way.name;
    }
}

TEST_F(UiAbout, VisitWebsiteOpensThePageAndStaysOpen)
{
    HWND about = open();
    ASSERT_NE(about, nullptr);
    const size_t before = openedUrls().size();
    SendMessageW(GetDlgItem(about, IDC_ABOUT_VISIT), BM_CLICK, 0, 0);
    pumpMessages();
    EXPECT_TRUE(IsWindow(about));
    EXPECT_FALSE(IsWindowEnabled(window));
    const std::wstring wideUrl = kWebsiteUrl;
    const std::string url(wideUrl.begin(), wideUrl.end());  // an ASCII address
    bool opened = false;
    for (int i = 0; i < 100 && !opened; ++i) {
        opened = openedUrls().find(url, before) != std::string::npos;
        if (!opened)
            Sleep(100);
    }
    EXPECT_TRUE(opened);
    SendMessageW(about, WM_CLOSE, 0, 0);
}

}  // namespace

namespace {

TEST_F(UiAbout, OpeningPaintingAndClosingLeaveNoGdiObjectBehind)
{
    auto cycle = [this] {
        HWND about = open();
        RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pumpMessages();
        SendMessageW(about, WM_CLOSE, 0, 0);
        pumpMessages();
    };
    for (int i = 0; i < 3; ++i)  // caches of the system grow once
        cycle();
    const size_t before = gdiObjectCount();
    ASSERT_GT(before, 0u) << "the GDI handle table could not be read";
    for (int i = 0; i < 10; ++i)
        cycle();
    EXPECT_EQ(gdiObjectCount(), before);
}

}  // namespace
