#include "ui/dpi.h"

#include "core/scoped_win.h"

namespace {

// Looked up at run time: Windows 10 1607 and later only.
template <typename Function>
Function user32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int systemDpi()
{
    const ScopedWindowDC screen(nullptr);
    const int dpi = screen.dc() ? GetDeviceCaps(screen.dc(), LOGPIXELSY) : kLayoutDpi;
    return dpi > 0 ? dpi : kLayoutDpi;
}

}  // namespace

int dpiForWindow(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : systemDpi();
}

int layoutDpi(HWND window)
{
    HWND owner = window ? GetAncestor(window, GA_ROOTOWNER) : nullptr;
    return dpiForWindow(owner ? owner : window);
}

int systemMetricForDpi(int index, int dpi)
{
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto getSystemMetricsForDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (getSystemMetricsForDpi)
        return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, systemDpi());
}

int scaleToDpi(int value, int dpi)
{
    return MulDiv(value, dpi, kLayoutDpi);
}

SIZE windowSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi)
{
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT bounds = {0, 0, scaleToDpi(width, dpi), scaleToDpi(height, dpi)};
    if (!adjustForDpi || !adjustForDpi(&bounds, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&bounds, style, FALSE, exStyle);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}
