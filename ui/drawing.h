// The program's own drawing: the shared fonts and brush, the main window's
// background and control colours, and the two small custom window classes
// (the autostart banner "LumarothAlert" and the info frame "LumarothFrame").
#pragma once

#include <windows.h>

#include "ui/dpi.h"

// Created by the main window's WM_CREATE before the first panel is built and
// deleted by its WM_DESTROY; every window of the program uses them. The fonts
// are made for the main window's DPI (made again when it changes).
extern HFONT bodyFont;
extern HFONT headingFont;
extern HFONT smallFont;
extern HFONT linkFont;
extern HBRUSH whiteBrush;

void createSharedGdiObjects(int dpi = kLayoutDpi);
void deleteSharedGdiObjects();

// Main window messages, called from its window procedure.
LRESULT eraseMainWindow(HWND window, HDC dc);                  // WM_ERASEBKGND, returns 1
void paintMainWindow(HWND window);                             // WM_PAINT
LRESULT colorEditControl(HDC dc);                              // WM_CTLCOLOREDIT
LRESULT colorStaticControl(HDC dc, HWND control);              // WM_CTLCOLORSTATIC

// Window procedures of the classes registered at start-up.
LRESULT CALLBACK alertWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK frameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
