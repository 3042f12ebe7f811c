// What every panel does to the main window before it builds: empty it, then
// fit it to the panel's height.
#include "ui/main_window.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/window_constants.h"

#include <string>

namespace {

// Any character will do: the key's characters are what must go.
constexpr wchar_t kKeyFiller = L'*';

}  // namespace

void clearMainWindow(HWND window)
{
    wipeKeyField(window);
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
    const SIZE size = windowSizeForClient(kClientWidth, appState.clientHeight,
                                          static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), 0,
                                          dpiForWindow(window));
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void wipeKeyField(HWND window)
{
    HWND field = GetDlgItem(window, IDC_EDIT_KEY);
    if (!field)
        return;
    // A text of the same length replaces the key in the control's buffer
    // without moving it; replaced without undo, the key goes to no undo buffer.
    const int length = GetWindowTextLengthW(field);
    if (length > 0) {
        const std::wstring filler(static_cast<size_t>(length), kKeyFiller);
        SendMessageW(field, EM_SETSEL, 0, -1);
        SendMessageW(field, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(filler.c_str()));
    }
    SetWindowTextW(field, L"");
    SendMessageW(field, EM_EMPTYUNDOBUFFER, 0, 0);
}
