#include "ui/controls.h"

#include "ui/dpi.h"

HWND createControl(HWND parent, const ControlSpec& spec)
{
    // The tables hold 96-DPI values; this is the one place they are scaled.
    const int dpi = layoutDpi(parent);
    HWND control = CreateWindowExW(spec.exStyle, spec.className, spec.text, WS_CHILD | WS_VISIBLE | spec.style,
                                   scaleToDpi(spec.x, dpi), scaleToDpi(spec.y, dpi), scaleToDpi(spec.width, dpi),
                                   scaleToDpi(spec.height, dpi), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), GetModuleHandleW(nullptr),
                                   nullptr);
    HFONT font = uiFont(spec.font);
    if (control && font)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}
