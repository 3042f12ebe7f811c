// One row of a panel's control table and the routine that creates it, shared
// by the status panel, the login panel and the About window.
#pragma once

#include <windows.h>

#include "ui/drawing.h"

struct ControlSpec {
    int id;  // 0: the control has no id
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;  // added to WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    int x;
    int y;
    int width;
    int height;
    UiFont font;  // one of the shared fonts, or UiFont::None
};

// Creates the control at the 96-DPI table values scaled to the DPI of the
// parent's top-level window and sets its font (redraw TRUE). A control that cannot
// be created is skipped: the rest of the panel is still built.
HWND createControl(HWND parent, const ControlSpec& spec);
