#include "app/startup.h"

#include <cwchar>

#include "app/controller.h"
#include "core/app_state.h"
#include "core/control_ids.h"
#include "store/autostart.h"
#include "ui/about_window.h"
#include "ui/drawing.h"
#include "ui/theme.h"

namespace {

bool registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style,
                   HICON icon, HCURSOR cursor, HBRUSH background)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    windowClass.hIconSm = icon;
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

bool hasStartupSwitch(const wchar_t* commandLine)
{
    if (!commandLine) return false;
    return std::wcsstr(commandLine, kStartupSwitch) || std::wcsstr(commandLine, kStartupSwitchAlt);
}

bool activateRunningInstance(HANDLE* mutex)
{
    *mutex = CreateMutexW(nullptr, TRUE, kSingleInstanceMutex);
    // Read at once: any later call may overwrite the last error.
    const DWORD error = GetLastError();
    if (!*mutex || error != ERROR_ALREADY_EXISTS) return false;

    HWND running = FindWindowW(kMainWindowClass, nullptr);
    if (running) {
        if (!IsWindowVisible(running)) ShowWindow(running, SW_SHOW);
        if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
    CloseHandle(*mutex);
    *mutex = nullptr;
    return true;
}

HICON loadProgramIcon(HINSTANCE instance)
{
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LUMAROTH));
    return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

bool registerWindowClasses(HINSTANCE instance)
{
    HICON icon = loadProgramIcon(instance);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    if (!registerClass(instance, kMainWindowClass, mainWindowProc, CS_HREDRAW | CS_VREDRAW, icon,
                       arrow, nullptr))
        return false;
    // A failure of these shows later, when a panel or the About window cannot
    // create its window.
    registerClass(instance, kFrameClass, frameWindowProc, 0, nullptr, nullptr, nullptr);
    registerClass(instance, kAlertClass, alertWindowProc, 0, nullptr, arrow, nullptr);
    registerClass(instance, kAboutClass, aboutWindowProc, 0, icon, arrow,
                  static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return true;
}

HWND createMainWindow(HINSTANCE instance)
{
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, kMainWindowStyle, FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, kMainWindowStyle, x, y, width,
                           height, nullptr, nullptr, instance, nullptr);
}

int runMessageLoop()
{
    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        // The queue itself is broken; going on would spin on the same error.
        if (got == -1) return 1;
        // Tab and Shift+Tab between the controls of the main window.
        if (!IsDialogMessageW(mainWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
