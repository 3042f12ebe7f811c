// What every panel does to the main window before it builds: empty it (the
// key field wiped first), then fit it to the panel's height. Below the panels,
// which call it, and below the DPI rebuild, which calls them.
#pragma once

#include <windows.h>

// Destroys every child window of the main window, the key field wiped first.
void clearMainWindow(HWND window);
// Gives the main window a client area of 470 x appState.clientHeight (96-DPI
// values, scaled to the window's DPI), keeping its top-left corner.
void resizeMainWindow(HWND window);
// An edit control frees its text and its undo buffer unwiped, and the key
// field holds the key as plain text: before the field goes, its text is
// overwritten where it lies and emptied, and its undo buffer emptied. Does
// nothing when the window holds no key field.
void wipeKeyField(HWND window);
