// Placeholder bodies until the real ones land.
#include "ui/about_window.h"
#include "ui/drawing.h"
#include "ui/login_panel.h"
#include "ui/panels.h"

HFONT bodyFont = nullptr;
HFONT headingFont = nullptr;
HFONT smallFont = nullptr;
HFONT linkFont = nullptr;
HBRUSH whiteBrush = nullptr;

void createSharedGdiObjects() {}
void deleteSharedGdiObjects() {}
LRESULT eraseMainWindow(HWND, HDC) { return 1; }
void paintMainWindow(HWND window)
{
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
}
LRESULT colorEditControl(HDC) { return 0; }
LRESULT colorStaticControl(HDC, HWND) { return 0; }
LRESULT CALLBACK alertWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
LRESULT CALLBACK frameWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
void clearMainWindow(HWND) {}
void resizeMainWindow(HWND) {}
void showStatusPanel(HWND) {}
void refreshStatusPanel() {}
void tickStatusPanel() {}
void showLoginPanel(HWND) {}
void openAboutWindow(HWND) {}
LRESULT CALLBACK aboutWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
