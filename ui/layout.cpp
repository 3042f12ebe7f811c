// The two mechanisms every panel rebuild uses: empty the main window, then
// fit it to the new panel's height.
#include "core/app_state.h"
#include "ui/panels.h"
#include "ui/theme.h"

void clearMainWindow(HWND window)
{
    HWND child = GetWindow(window, GW_CHILD);
    while (child) {
        // Fetched first: the destroyed window's links are gone afterwards.
        HWND next = GetWindow(child, GW_HWNDNEXT);
        DestroyWindow(child);
        child = next;
    }
}

void resizeMainWindow(HWND window)
{
    RECT bounds = {0, 0, kClientWidth, appState.clientHeight};
    AdjustWindowRect(&bounds, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE);
    SetWindowPos(window, nullptr, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
