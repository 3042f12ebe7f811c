// The About window: a pop-up owned by the main window that acts modally by
// disabling its owner while it is open.
#include "ui/about_window.h"

#include "core/scoped_win.h"
#include "res/resource.h"
#include "res/version.h"
#include "ui/controls.h"
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "ui/program_icon.h"
#include "ui/window_constants.h"

#include <shellapi.h>

#include <initializer_list>

namespace {

constexpr wchar_t kAboutWindowTitle[] = L"About Lumaroth Client";
constexpr int kAboutClientWidth = 360;
constexpr int kAboutClientHeight = 308;
constexpr unsigned long kColorSeparator = rgbColor(0xC8, 0xC8, 0xC8);

const DWORD kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
const int kIconSize = 48;
const int kBodyLineCount = 8;
const int kBodyTop = 128;
const int kBodyLineHeight = 17;

const wchar_t* const kBodyLines[kBodyLineCount] = {
    L"Vexlumen \u2014 Free Dynamic DNS Service",
    L"",
    L"Automatically keeps your domain pointed to your",
    L"dynamic IP address \u2014 fast and reliable.",
    L"",
    L"Supports Windows XP SP3 and above.",
    L"",
    L"\u00A9 2026 Vexlumen. All rights reserved.",
};

// Loaded from the resources at each opening; destroyed with the window.
ScopedIcon ownIcon;

void createAboutControls(HWND window)
{
    HWND iconControl = createControl(window, {0, L"STATIC", L"", SS_ICON | SS_CENTERIMAGE, 0, 156, 18, kIconSize,
                                              kIconSize, UiFont::None});
    const int iconSize = scaleToDpi(kIconSize, layoutDpi(window));
    ownIcon = loadProgramIcon(GetModuleHandleW(nullptr), iconSize);
    HICON icon = ownedOrSharedFallback(ownIcon);
    if (iconControl)
        SendMessageW(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);

    createControl(window, {0, L"STATIC", L"Lumaroth Client", SS_CENTER, 0, 10, 72, 340, 24, UiFont::Heading});
    createControl(window,
                  {0, L"STATIC", L"Version " LUMAROTH_VERSION_WIDE, SS_CENTER, 0, 10, 98, 340, 18, UiFont::Body});
    // The body is shown as written: "&" is no mnemonic marker there.
    for (int line = 0; line < kBodyLineCount; ++line)
        createControl(window, {0, L"STATIC", kBodyLines[line], SS_CENTER | SS_NOPREFIX, 0, 10,
                               kBodyTop + kBodyLineHeight * line, 340, kBodyLineHeight, UiFont::Small});
    createControl(window,
                  {IDC_ABOUT_VISIT, L"BUTTON", L"Visit Website", WS_TABSTOP, 0, 60, 270, 100, 26, UiFont::Body});
    createControl(window, {IDC_ABOUT_CLOSE, L"BUTTON", L"Close", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 200, 270, 100, 26,
                           UiFont::Body});
}

void paintSeparators(HWND window)
{
    ScopedPaint paint(window);
    const int dpi = layoutDpi(window);
    auto at = [dpi](int value) { return scaleToDpi(value, dpi); };
    const ScopedPen pen(CreatePen(PS_SOLID, at(1), kColorSeparator));
    const ScopedSelectObject usePen(paint.dc(), pen.get());
    for (int y : {122, 260}) {
        MoveToEx(paint.dc(), at(20), at(y), nullptr);
        LineTo(paint.dc(), at(340), at(y));
    }
}

void releaseOwner(HWND window)
{
    HWND owner = GetWindow(window, GW_OWNER);
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
}

// Outer size for the owner's DPI, centred over the owner's window rectangle
// wherever it stands, also partly off screen.
RECT placeOverOwner(HWND owner)
{
    const SIZE size = windowSizeForClient(kAboutClientWidth, kAboutClientHeight, kAboutStyle, 0, layoutDpi(owner));
    RECT ownerRect = {};
    GetWindowRect(owner, &ownerRect);
    const int x = ownerRect.left + ((ownerRect.right - ownerRect.left) - size.cx) / 2;
    const int y = ownerRect.top + ((ownerRect.bottom - ownerRect.top) - size.cy) / 2;
    return {x, y, x + size.cx, y + size.cy};
}

}  // namespace

void openAboutWindow(HWND owner)
{
    if (HWND open = FindWindowW(kAboutClass, nullptr)) {
        SetForegroundWindow(open);
        return;
    }
    const RECT place = placeOverOwner(owner);
    HWND about = CreateWindowExW(WS_EX_DLGMODALFRAME, kAboutClass, kAboutWindowTitle, kAboutStyle, place.left,
                                 place.top, place.right - place.left, place.bottom - place.top, owner, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!about)
        return;
    EnableWindow(owner, FALSE);
    ShowWindow(about, SW_SHOW);
    UpdateWindow(about);
}

void relayoutAboutWindow(HWND owner)
{
    HWND about = FindWindowW(kAboutClass, nullptr);
    if (!about || GetWindow(about, GW_OWNER) != owner)
        return;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(about, GW_CHILD))
        DestroyWindow(child);
    createAboutControls(about);
    const RECT place = placeOverOwner(owner);
    SetWindowPos(about, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(about, nullptr, TRUE);
}

LRESULT CALLBACK aboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        createAboutControls(window);
        return 0;
    case WM_PAINT:
        paintSeparators(window);
        return 0;
    case WM_ERASEBKGND: {
        RECT client = {};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_VISIT)
            ShellExecuteW(nullptr, L"open", kWebsiteUrl, nullptr, nullptr, SW_SHOWNORMAL);
        else if (LOWORD(wParam) == IDC_ABOUT_CLOSE)
            DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        releaseOwner(window);
        ownIcon.reset();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
