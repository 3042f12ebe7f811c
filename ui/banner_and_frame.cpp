#include "ui/banner_and_frame.h"

#include "core/scoped_win.h"
#include "ui/dpi.h"
#include "ui/window_constants.h"

namespace {

constexpr unsigned long kColorBannerFill = rgbColor(0x8C, 0x00, 0x00);
constexpr unsigned long kColorBannerOutline = rgbColor(0x64, 0x00, 0x00);
constexpr unsigned long kColorFrameOutline = rgbColor(0xA0, 0xA0, 0xA0);
constexpr int kCornerEllipse = 8;

// A rounded rectangle over the whole client area with the given pen and
// brush; the objects made here are deleted before returning.
void paintRoundedClient(HWND window, COLORREF outline, const COLORREF* fill)
{
    ScopedPaint paint(window);
    RECT client = {};
    GetClientRect(window, &client);

    const int dpi = layoutDpi(window);
    // A wider pen stays inside the rectangle instead of losing half its width
    // to the clipping at the client's edge.
    const int penWidth = scaleToDpi(1, dpi);
    const ScopedPen pen(CreatePen(penWidth > 1 ? PS_INSIDEFRAME : PS_SOLID, penWidth, outline));
    const ScopedBrush brush(fill ? CreateSolidBrush(*fill) : nullptr);
    // Declared after the objects: they are put back before the objects go.
    const ScopedSelectObject usePen(paint.dc(), pen.get());
    const ScopedSelectObject useBrush(paint.dc(),
                                      brush ? static_cast<HGDIOBJ>(brush.get()) : GetStockObject(NULL_BRUSH));
    const int corner = scaleToDpi(kCornerEllipse, dpi);
    RoundRect(paint.dc(), 0, 0, client.right, client.bottom, corner, corner);
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
