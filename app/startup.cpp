#include "app/startup.h"

#include <cwchar>

#include "app/controller.h"
#include "app/single_instance.h"
#include "core/app_state.h"
#include "res/version.h"
#include "store/autostart.h"
#include "ui/about_window.h"
#include "ui/banner_and_frame.h"
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "ui/program_icon.h"
#include "ui/window_constants.h"

namespace {

// "/startup" (the one the Run value carries) is in store/autostart.h.
constexpr wchar_t kStartupSwitchAlt[] = L"-startup";
constexpr wchar_t kMainWindowClass[] = L"LumarothMainWindow";
constexpr wchar_t kMainWindowTitle[] = L"Vexlumen - Free Dynamic DNS v" LUMAROTH_VERSION_WIDE;

// The classes' icons: kept as long as the classes, that is for the whole run.
ScopedIcon classIcon;
ScopedIcon classSmallIcon;

struct ClassIcons {
    HICON icon;
    HICON smallIcon;
};

bool registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style, ClassIcons icons,
                   HCURSOR cursor, HBRUSH background)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icons.icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    windowClass.hIconSm = icons.smallIcon;
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

bool hasStartupSwitch(const wchar_t* commandLine)
{
    if (!commandLine)
        return false;
    return std::wcsstr(commandLine, kStartupSwitch) || std::wcsstr(commandLine, kStartupSwitchAlt);
}

bool activateRunningInstance(ScopedHandle* mutex)
{
    if (takeSingleInstance(mutex))
        return false;

    HWND running = FindWindowW(kMainWindowClass, nullptr);
    if (running) {
        if (!IsWindowVisible(running))
            ShowWindow(running, SW_SHOW);
        if (IsIconic(running))
            ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
    return true;
}

bool registerWindowClasses(HINSTANCE instance)
{
    classIcon = loadProgramIcon(instance, GetSystemMetrics(SM_CXICON));
    classSmallIcon = loadProgramIcon(instance, GetSystemMetrics(SM_CXSMICON));
    const ClassIcons icons = {ownedOrSharedFallback(classIcon), ownedOrSharedFallback(classSmallIcon)};
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    if (!registerClass(instance, kMainWindowClass, mainWindowProc, CS_HREDRAW | CS_VREDRAW, icons, arrow, nullptr))
        return false;
    // A failure of these shows later, when a panel or the About window cannot
    // create its window.
    registerClass(instance, kFrameClass, frameWindowProc, 0, {}, nullptr, nullptr);
    registerClass(instance, kAlertClass, alertWindowProc, 0, {}, arrow, nullptr);
    registerClass(instance, kAboutClass, aboutWindowProc, 0, icons, arrow,
                  static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return true;
}

HWND createMainWindow(HINSTANCE instance)
{
    // Centred on the primary screen, whose DPI is the system DPI.
    const SIZE size = windowSizeForClient(kClientWidth, kClientHeight, kMainWindowStyle, 0, dpiForWindow(nullptr));
    const int width = size.cx;
    const int height = size.cy;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, kMainWindowStyle, x, y, width, height, nullptr,
                           nullptr, instance, nullptr);
}

int runMessageLoop()
{
    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        // The queue itself is broken; going on would spin on the same error.
        if (got == -1)
            return 1;
        // Tab and Shift+Tab between the controls of the main window.
        if (!IsDialogMessageW(mainWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
