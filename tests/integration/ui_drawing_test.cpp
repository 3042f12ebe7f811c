// The program's own drawing, read back from the painted window: background,
// banner, frame, text colours, and no GDI object left behind by painting.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/integration/ui_test_window.h"
#include "ui/login_panel.h"
#include "ui/status_panel.h"
#include "ui/status_refresh.h"

using namespace uitest;

namespace {

// The window's painted pixels, copied once so that later paints cannot race
// the reads.
class Snapshot {
public:
    explicit Snapshot(HWND window)
    {
        RECT client = {};
        GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        HDC windowDc = GetDC(window);
        memoryDc = CreateCompatibleDC(windowDc);
        bitmap = CreateCompatibleBitmap(windowDc, width, height);
        old = SelectObject(memoryDc, bitmap);
        BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        ReleaseDC(window, windowDc);
    }
    ~Snapshot()
    {
        SelectObject(memoryDc, old);
        DeleteObject(bitmap);
        DeleteDC(memoryDc);
    }
    COLORREF at(int x, int y) const { return GetPixel(memoryDc, x, y); }

    // The pixel of a rectangle that stands out most from white: text ink.
    COLORREF darkest(const RECT& r) const
    {
        COLORREF best = RGB(255, 255, 255);
        int bestSum = 3 * 255;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                COLORREF c = at(x, y);
                int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
                if (sum < bestSum) {
                    bestSum = sum;
                    best = c;
                }
            }
        return best;
    }

    // The largest number of non-white pixels in one row of the rectangle.
    int widestInkRow(const RECT& r) const
    {
        int widest = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            int count = 0;
            for (int x = r.left; x < r.right; ++x)
                count += at(x, y) != RGB(255, 255, 255);
            widest = count > widest ? count : widest;
        }
        return widest;
    }

private:
    HDC memoryDc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    int width = 0;
    int height = 0;
};

// Which channel dominates a text colour: 'r', 'g' or 'b'; '-' for grey.
char hueOf(COLORREF c)
{
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    if (r > g + 40 && r > b + 40)
        return 'r';
    if (g > r + 40 && g > b + 20)
        return 'g';
    if (b > r + 40 && b > g + 20)
        return 'b';
    return '-';
}

void repaint(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages();
}

RECT rectInMain(HWND window, HWND control)
{
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class UiDrawing : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window = createStandInWindow();
    }
};

TEST_F(UiDrawing, BackgroundBannerAndFrame)
{
    applyScenario({true, false, UpdateStatus::Idle, L"", L""});
    showStatusPanel(window);
    repaint(window);
    Snapshot shot(window);
    EXPECT_EQ(shot.at(3, 3), RGB(255, 255, 255));                // main window background
    EXPECT_EQ(shot.at(11 + 5, 46 + 33), RGB(0x8C, 0x00, 0x00));  // banner fill, below its text
    EXPECT_EQ(shot.at(11, 46 + 19), RGB(0x64, 0x00, 0x00));      // banner outline, left edge
    EXPECT_EQ(shot.at(10, 45 + 150), RGB(0xA0, 0xA0, 0xA0));     // frame outline, left edge
    EXPECT_EQ(shot.at(459, 45 + 150), RGB(0xA0, 0xA0, 0xA0));    // and right edge (450 wide)
    EXPECT_EQ(shot.at(20, 45 + 150), RGB(255, 255, 255));        // the frame's inside is not painted

    // Banner text white on dark red.
    HWND banner = FindWindowExW(window, nullptr, kAlertClass, nullptr);
    RECT text = rectInMain(window, GetDlgItem(banner, IDC_BANNER_TEXT));
    COLORREF brightest = RGB(0, 0, 0);
    for (int y = text.top; y < text.bottom; ++y)
        for (int x = text.left; x < text.right; ++x)
            if (GetRValue(shot.at(x, y)) + GetGValue(shot.at(x, y)) > GetRValue(brightest) + GetGValue(brightest))
                brightest = shot.at(x, y);
    EXPECT_GT(GetGValue(brightest), 200);
    EXPECT_GT(GetBValue(brightest), 200);
}

TEST_F(UiDrawing, StatusLineColourFollowsUpdateState)
{
    applyScenario({true, true, UpdateStatus::Idle, L"", L""});
    showStatusPanel(window);
    const struct {
        UpdateStatus status;
        const wchar_t* error;
        char hue;
    } cases[] = {
        {UpdateStatus::Updating, L"", 'b'},
        {UpdateStatus::Failed, L"Invalid username or key.", 'r'},
        {UpdateStatus::Succeeded, L"", 'g'},
        {UpdateStatus::Idle, L"", 'g'},
    };
    for (const auto& c : cases) {
        appState.updateStatus = c.status;
        appState.errorText = c.error;
        refreshStatusPanel();
        repaint(window);
        Snapshot shot(window);
        COLORREF ink = shot.darkest(rectInMain(window, child(IDC_STATUS_LINE)));
        EXPECT_EQ(hueOf(ink), c.hue) << "status " << static_cast<int>(c.status) << " ink " << std::hex << ink;
    }
}

TEST_F(UiDrawing, LinkIsBlueAndUnderlinedValuesAreBlack)
{
    applyScenario({true, true, UpdateStatus::Succeeded, L"203.0.113.7", L""});
    showStatusPanel(window);
    repaint(window);
    Snapshot shot(window);
    RECT link = rectInMain(window, child(IDC_WEBSITE_LINK));
    EXPECT_EQ(hueOf(shot.darkest(link)), 'b');
    // An underline is one long run of ink across the text, far wider than any
    // row of letters alone.
    EXPECT_GT(shot.widestInkRow(link), 100);
    COLORREF value = shot.darkest(rectInMain(window, child(IDC_VALUE_IP)));
    EXPECT_LT(GetRValue(value) + GetGValue(value) + GetBValue(value), 120);
    EXPECT_EQ(hueOf(value), '-');
}

TEST_F(UiDrawing, EditFieldsBlackOnWhite)
{
    applyScenario({true, true, UpdateStatus::Succeeded, L"", L""});
    showLoginPanel(window);
    repaint(window);
    Snapshot shot(window);
    RECT field = rectInMain(window, child(IDC_EDIT_USERNAME));
    EXPECT_EQ(shot.at(field.right - 6, field.top + 11), RGB(255, 255, 255));
    COLORREF ink = shot.darkest(field);
    EXPECT_LT(GetRValue(ink) + GetGValue(ink) + GetBValue(ink), 120);
}

TEST_F(UiDrawing, RepaintsLeaveNoGdiObjectBehind)
{
    applyScenario({true, false, UpdateStatus::Failed, L"", L"Invalid username or key."});
    showStatusPanel(window);
    for (int i = 0; i < 3; ++i)  // caches of the system grow once
        repaint(window);
    const size_t before = gdiObjectCount();
    ASSERT_GT(before, 0u) << "the GDI handle table could not be read";
    for (int i = 0; i < 30; ++i)
        repaint(window);
    EXPECT_EQ(gdiObjectCount(), before);
}

}  // namespace
