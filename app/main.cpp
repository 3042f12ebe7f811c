#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand)
{
    const bool startedByAutostart = hasStartupSwitch(commandLine);

    // Held until the process ends; the main window gives up ownership when it
    // is destroyed so that a new instance can start at once.
    HANDLE mutex = nullptr;
    if (activateRunningInstance(&mutex)) return 0;

    // COM for the accessibility annotations of the controls (and for the
    // shell's handlers behind ShellExecuteW).
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = kCommonControlClasses;
    InitCommonControlsEx(&controls);

    int exitCode = 1;
    if (registerWindowClasses(instance)) {
        HWND window = createMainWindow(instance);
        if (window) {
            if (startedByAutostart) {
                ShowWindow(window, SW_HIDE);
            } else {
                ShowWindow(window, showCommand);
                UpdateWindow(window);
            }
            exitCode = runMessageLoop();
        }
    }
    if (com) CoUninitialize();
    if (mutex) CloseHandle(mutex);
    return exitCode;
}
