// The yardstick of the benchmark: a bare Win32 window of the main window's
// size with a message loop, a timer, a paint that draws one line of text and
// the program's own 5-second reachability check on a worker thread, and
// nothing else. Built a second time with common controls 6 loaded (the
// manifest and InitCommonControlsEx of Lumaroth.exe): what that costs under
// Wine is then apart from what the program itself costs.
#include <windows.h>
#ifdef BARE_WINDOW_COMMON_CONTROLS
#include <commctrl.h>
#endif

#include "update/update_protocol.h"

static DWORD WINAPI checkWorker(LPVOID)
{
    checkConnectivity();
    return 0;
}

static LRESULT CALLBACK bareWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        TextOutW(dc, 10, 10, L"bare", 4);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == 2) {
            HANDLE thread = CreateThread(nullptr, 0, checkWorker, nullptr, 0, nullptr);
            if (thread)
                CloseHandle(thread);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
#ifdef BARE_WINDOW_COMMON_CONTROLS
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = bareWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"LumarothBenchBareWindow";
    RegisterClassExW(&wc);
    RECT rect = {0, 0, 470, 248};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 1;
    SetTimer(hwnd, 1, 1000, nullptr);
    SetTimer(hwnd, 2, 5000, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
