#include "ui/controls.h"

HWND createControl(HWND parent, const ControlSpec& spec)
{
    HWND control = CreateWindowExW(spec.exStyle, spec.className, spec.text, WS_CHILD | WS_VISIBLE | spec.style,
                                   spec.x, spec.y, spec.width, spec.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control && spec.font && *spec.font)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(*spec.font), TRUE);
    return control;
}
