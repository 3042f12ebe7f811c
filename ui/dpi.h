// The layout tables are written for 96 DPI; every window scales them to its
// own DPI here, so that one exe is crisp at any display scale and still runs
// on Windows 7, which lacks the per-monitor DPI functions.
#pragma once

#include <windows.h>

// The DPI the layout tables are written for.
inline constexpr int kLayoutDpi = 96;

// The window's DPI; the system DPI where the system cannot tell (Windows 7)
// or for no window at all.
int dpiForWindow(HWND window);
// The DPI a window's contents are laid out for: that of its top-level owner,
// so the About window and the banner follow the main window and its fonts.
int layoutDpi(HWND window);
// GetSystemMetrics(index) as it is at dpi; scaled from the system DPI's where
// the system cannot tell (before Windows 10 1607).
int systemMetricForDpi(int index, int dpi);
// A 96-DPI length at dpi.
int scaleToDpi(int value, int dpi);
// The outer size of a window whose client area is width x height at 96 DPI.
SIZE windowSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);
