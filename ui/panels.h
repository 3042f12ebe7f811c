// The main window never holds more than one panel; switching panels is a
// complete rebuild. These build the status panel and keep its texts current.
#pragma once

#include <windows.h>

// Destroys every child window of the main window.
void clearMainWindow(HWND window);
// Gives the main window a client area of 470 x appState.clientHeight (96-DPI
// values, scaled to the window's DPI), keeping its top-left corner.
void resizeMainWindow(HWND window);
// After the window's DPI changed: new fonts, the shown panel built again (what
// is typed into the login panel and the focus kept), the About window too.
void rebuildForDpi(HWND window);

// Builds the status panel (with the autostart banner while autostart is off).
void showStatusPanel(HWND window);

// Re-texts the status panel after the update cycle changed state; a no-op
// while the login panel is shown.
void refreshStatusPanel();
// Re-texts the countdown and the age of the last IP change; called once a
// second by the countdown timer.
void tickStatusPanel();
