#include "ui/drawing.h"

#include "core/app_state.h"
#include "core/scoped_win.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/status_texts.h"
#include "ui/window_constants.h"

namespace {

constexpr unsigned long kColorBlack = rgbColor(0x00, 0x00, 0x00);
constexpr unsigned long kColorLink = rgbColor(0x00, 0x66, 0xCC);
constexpr wchar_t kFontFace[] = L"Segoe UI";

struct SharedGdiObjects {
    ScopedFont bodyFont;
    ScopedFont headingFont;
    ScopedFont smallFont;
    ScopedFont linkFont;
    ScopedBrush whiteBrush;
};

// Written by the main window's creation, destruction and DPI change only.
SharedGdiObjects shared;

// height: the character height in pixels at 96 DPI; the same point size at dpi.
HFONT createUiFont(int height, int weight, bool underline, int dpi)
{
    return CreateFontW(-scaleToDpi(height, dpi), 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       FF_SWISS | DEFAULT_PITCH, kFontFace);
}

}  // namespace

void createSharedGdiObjects(int dpi)
{
    shared.bodyFont.reset(createUiFont(13, FW_NORMAL, false, dpi));
    shared.headingFont.reset(createUiFont(13, FW_SEMIBOLD, false, dpi));
    shared.smallFont.reset(createUiFont(11, FW_NORMAL, false, dpi));
    shared.linkFont.reset(createUiFont(11, FW_NORMAL, true, dpi));
    shared.whiteBrush.reset(CreateSolidBrush(kColorWhite));
}

void deleteSharedGdiObjects()
{
    shared = SharedGdiObjects{};
}

HFONT uiFont(UiFont font)
{
    switch (font) {
    case UiFont::Body:
        return shared.bodyFont.get();
    case UiFont::Heading:
        return shared.headingFont.get();
    case UiFont::Small:
        return shared.smallFont.get();
    case UiFont::Link:
        return shared.linkFont.get();
    case UiFont::None:
        break;
    }
    return nullptr;
}

HBRUSH backgroundBrush()
{
    return shared.whiteBrush.get();
}

LRESULT eraseMainWindow(HWND window, HDC dc)
{
    RECT client = {};
    GetClientRect(window, &client);
    FillRect(dc, &client, backgroundBrush());
    return 1;
}

void paintMainWindow(HWND window)
{
    // Everything visible is a child window; the paint only validates.
    ScopedPaint paint(window);
}

LRESULT colorEditControl(HDC dc)
{
    SetTextColor(dc, kColorBlack);
    SetBkColor(dc, kColorWhite);
    return reinterpret_cast<LRESULT>(backgroundBrush());
}

LRESULT colorStaticControl(HDC dc, HWND control)
{
    switch (GetDlgCtrlID(control)) {
    case IDC_WEBSITE_LINK:
        SetTextColor(dc, kColorLink);
        SetBkMode(dc, TRANSPARENT);
        // The DC is the system's for this one paint: the font stays selected.
        SelectObject(dc, uiFont(UiFont::Link));
        break;
    case IDC_STATUS_LINE:
        SetTextColor(dc, statusLineColor(appState.updateStatus));
        SetBkMode(dc, TRANSPARENT);
        break;
    default:
        SetBkMode(dc, TRANSPARENT);
        break;
    }
    return reinterpret_cast<LRESULT>(backgroundBrush());
}
