// The program's shared fonts and background brush, and the main window's
// background and control colours.
#pragma once

#include <windows.h>

#include "ui/dpi.h"

// The fonts every window of the program uses.
enum class UiFont { None, Body, Heading, Small, Link };

// Made by the main window's WM_CREATE before the first panel is built and
// deleted by its WM_DESTROY; the fonts are made for the main window's DPI
// (made again when it changes). Between the two, the getters return the
// objects; outside, null.
void createSharedGdiObjects(int dpi = kLayoutDpi);
void deleteSharedGdiObjects();
HFONT uiFont(UiFont font);
HBRUSH backgroundBrush();

// Main window messages, called from its window procedure.
LRESULT eraseMainWindow(HWND window, HDC dc);      // WM_ERASEBKGND, returns 1
void paintMainWindow(HWND window);                 // WM_PAINT
LRESULT colorEditControl(HDC dc);                  // WM_CTLCOLOREDIT
LRESULT colorStaticControl(HDC dc, HWND control);  // WM_CTLCOLORSTATIC
