// The rebuild for a new DPI: above the panels, which it builds again. The main
// window never holds more than one panel; switching panels is a complete
// rebuild.
#pragma once

#include <windows.h>

// After the window's DPI changed: new fonts, the shown panel built again (what
// is typed into the login panel and the focus kept), the About window too.
void rebuildForDpi(HWND window);
