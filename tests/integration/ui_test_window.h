// A stand-in main window for the in-process UI tests: the real window classes
// of the frame, banner and About window (registered by the fixture of
// app_test_support.h), and a main window whose procedure does what the
// controller does for drawing and sizing, so the panels can be built, painted
// and measured without the tray, timers or workers.
#pragma once

#include <windows.h>

#include <intrin.h>

#include <string>
#include <vector>

#include "core/app_state.h"
#include "store/autostart.h"
#include "tests/common/panel_layouts.h"
#include "tests/integration/app_test_support.h"
#include "ui/about_window.h"
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "ui/window_constants.h"

namespace uitest {

// The shared font a row of the common layout tables names.
inline HFONT sharedFontOf(PanelFont font)
{
    switch (font) {
    case PanelFont::Heading:
        return uiFont(UiFont::Heading);
    case PanelFont::Body:
        return uiFont(UiFont::Body);
    case PanelFont::Small:
        return uiFont(UiFont::Small);
    case PanelFont::Link:
        return uiFont(UiFont::Link);
    case PanelFont::None:
        break;
    }
    return nullptr;
}

constexpr DWORD kMainStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr wchar_t kTestMainClass[] = L"LumarothUiTestMain";

// Commands that reached the main window, as (id, notification code).
inline std::vector<std::pair<int, int>>& receivedCommands()
{
    static std::vector<std::pair<int, int>> commands;
    return commands;
}

inline LRESULT CALLBACK testMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        createSharedGdiObjects(dpiForWindow(nullptr));
        return 0;
    case WM_DESTROY:
        deleteSharedGdiObjects();
        return 0;
    case WM_ERASEBKGND:
        return eraseMainWindow(window, reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        paintMainWindow(window);
        return 0;
    case WM_CTLCOLOREDIT:
        return colorEditControl(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC:
        return colorStaticControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_GETMINMAXINFO: {
        const SIZE outer = windowSizeForClient(kClientWidth, appState.clientHeight, kMainStyle, 0,
                                               dpiForWindow(window));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {outer.cx, outer.cy};
        info->ptMaxTrackSize = info->ptMinTrackSize;
        return 0;
    }
    case WM_COMMAND:
        receivedCommands().emplace_back(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

inline void registerStandInClass()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = testMainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kTestMainClass;
    RegisterClassExW(&wc);
}

// Lets the window paint and the system deliver what it queued.
inline void pumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The account, state and autostart value of one test case.
struct Scenario {
    bool signedIn = true;
    bool autostart = true;
    UpdateStatus status = UpdateStatus::Idle;
    std::wstring lastIp;
    std::wstring errorText;
};

inline void applyScenario(const Scenario& s)
{
    appState = AppState();
    if (s.signedIn) {
        appState.hostname = L"home.example.net";
        appState.username = L"alice";
        appState.updateKey = L"secret-key";
    }
    appState.updateStatus = s.status;
    appState.lastIp = s.lastIp;
    appState.errorText = s.errorText;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(s.autostart));
}

// The stand-in main window with the shared fonts, visible at a fixed place on
// the virtual desktop; MainWindowTest's TearDown destroys it.
inline HWND createStandInWindow()
{
    registerStandInClass();
    RECT r = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&r, kMainStyle, FALSE);
    HWND window = CreateWindowExW(0, kTestMainClass, L"UI test", kMainStyle, 100, 80, r.right - r.left,
                                  r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    mainWindow = window;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetForegroundWindow(window);
    receivedCommands().clear();
    return window;
}

// The children of a window in z-order, which is their creation order.
inline std::vector<HWND> childrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

inline std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A child's rectangle in its parent's client coordinates.
inline RECT rectInParent(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// GDI objects of this process, counted in the shared handle table that the
// PEB points to (GetGuiResources is a stub under Wine).
inline size_t gdiObjectCount()
{
    const BYTE* peb = reinterpret_cast<const BYTE*>(__readgsqword(0x60));
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
    if (!table)
        return 0;
    size_t count = 0;
    for (size_t i = 0; i < 0x10000; ++i)
        count += table[i * 24 + 14] != 0;
    return count;
}

}  // namespace uitest
