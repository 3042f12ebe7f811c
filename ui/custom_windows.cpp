// The two small window classes of the main window: the dark red autostart
// banner ("LumarothAlert") and the grey rounded info frame ("LumarothFrame").
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "ui/theme.h"

namespace {

// A rounded rectangle over the whole client area with the given pen and
// brush; the objects made here are deleted before returning.
void paintRoundedClient(HWND window, COLORREF outline, const COLORREF* fill)
{
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(window, &paint);
    RECT client = {};
    GetClientRect(window, &client);

    const int dpi = layoutDpi(window);
    // A wider pen stays inside the rectangle instead of losing half its width
    // to the clipping at the client's edge.
    const int penWidth = scaleToDpi(1, dpi);
    HPEN pen = CreatePen(penWidth > 1 ? PS_INSIDEFRAME : PS_SOLID, penWidth, outline);
    HBRUSH brush = fill ? CreateSolidBrush(*fill) : nullptr;
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    const int corner = scaleToDpi(kCornerEllipse, dpi);
    RoundRect(dc, 0, 0, client.right, client.bottom, corner, corner);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    if (brush)
        DeleteObject(brush);

    EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK alertWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        const COLORREF fill = kColorBannerFill;
        paintRoundedClient(window, kColorBannerOutline, &fill);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_COMMAND:
        // "Enable now" is the banner's child; the main window handles it.
        return SendMessageW(GetParent(window), WM_COMMAND, wParam, lParam);
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, kColorWhite);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK frameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paintRoundedClient(window, kColorFrameOutline, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
