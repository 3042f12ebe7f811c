// The shared fonts and brush, and the main window's background and control
// colours.
#include "ui/drawing.h"

#include "core/app_state.h"
#include "core/control_ids.h"
#include "ui/dpi.h"
#include "ui/status_texts.h"
#include "ui/theme.h"

HFONT bodyFont = nullptr;
HFONT headingFont = nullptr;
HFONT smallFont = nullptr;
HFONT linkFont = nullptr;
HBRUSH whiteBrush = nullptr;

namespace {

// height: the character height in pixels at 96 DPI; the same point size at dpi.
HFONT createUiFont(int height, int weight, bool underline, int dpi)
{
    return CreateFontW(-scaleToDpi(height, dpi), 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       FF_SWISS | DEFAULT_PITCH, kFontFace);
}

template <typename Handle>
void deleteShared(Handle& object)
{
    if (object)
        DeleteObject(object);
    object = nullptr;
}

}  // namespace

void createSharedGdiObjects(int dpi)
{
    bodyFont = createUiFont(13, FW_NORMAL, false, dpi);
    headingFont = createUiFont(13, FW_SEMIBOLD, false, dpi);
    smallFont = createUiFont(11, FW_NORMAL, false, dpi);
    linkFont = createUiFont(11, FW_NORMAL, true, dpi);
    whiteBrush = CreateSolidBrush(kColorWhite);
}

void deleteSharedGdiObjects()
{
    deleteShared(bodyFont);
    deleteShared(headingFont);
    deleteShared(smallFont);
    deleteShared(linkFont);
    deleteShared(whiteBrush);
}

LRESULT eraseMainWindow(HWND window, HDC dc)
{
    RECT client = {};
    GetClientRect(window, &client);
    FillRect(dc, &client, whiteBrush);
    return 1;
}

void paintMainWindow(HWND window)
{
    // Everything visible is a child window; the paint only validates.
    PAINTSTRUCT paint = {};
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

LRESULT colorEditControl(HDC dc)
{
    SetTextColor(dc, kColorBlack);
    SetBkColor(dc, kColorWhite);
    return reinterpret_cast<LRESULT>(whiteBrush);
}

LRESULT colorStaticControl(HDC dc, HWND control)
{
    switch (GetDlgCtrlID(control)) {
    case IDC_WEBSITE_LINK:
        SetTextColor(dc, kColorLink);
        SetBkMode(dc, TRANSPARENT);
        SelectObject(dc, linkFont);
        break;
    case IDC_STATUS_LINE:
        SetTextColor(dc, statusLineColor(appState.updateStatus));
        SetBkMode(dc, TRANSPARENT);
        break;
    default:
        SetBkMode(dc, TRANSPARENT);
        break;
    }
    return reinterpret_cast<LRESULT>(whiteBrush);
}
