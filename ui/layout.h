// The two mechanisms every panel rebuild uses: empty the main window, then
// fit it to the new panel's height; and the rebuild for a new DPI. The main
// window never holds more than one panel; switching panels is a complete
// rebuild.
#pragma once

#include <windows.h>

// Destroys every child window of the main window, the key field wiped first.
void clearMainWindow(HWND window);
// Gives the main window a client area of 470 x appState.clientHeight (96-DPI
// values, scaled to the window's DPI), keeping its top-left corner.
void resizeMainWindow(HWND window);
// After the window's DPI changed: new fonts, the shown panel built again (what
// is typed into the login panel and the focus kept), the About window too.
void rebuildForDpi(HWND window);
