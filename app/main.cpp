#include <windows.h>
#include <commctrl.h>
#include <delayimp.h>
#include <objbase.h>

#include "app/startup.h"
#include "core/scoped_win.h"
#include "update/system_dlls.h"

namespace {

// InitCommonControlsEx: ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES.
constexpr unsigned long kCommonControlClasses = 0x40FF;

// Windows looks for a DLL that is not on its KnownDLLs list in the exe's own
// folder before System32, so a winhttp.dll lying beside Lumaroth.exe (the
// portable copy unpacked in Downloads) would run as the user. Those DLLs are
// delay-loaded (app/CMakeLists.txt) and taken from System32 by full path here,
// which holds even on a Windows 7 without SetDefaultDllDirectories.
// comctl32 stays a plain import: the manifest's dependency on common controls 6
// redirects it to the side-by-side store before any folder is searched.
// Every call into them comes from an exchange that holds them loaded already
// (loadUpdateDlls), so this load finds the module in the process; a null here
// would make the helper search by name and then raise an exception.
FARPROC WINAPI loadFromSystemFolder(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliNotePreLoadLibrary)
        return nullptr;
    return reinterpret_cast<FARPROC>(loadSystemDll(info->szDll));
}

// Every later load by name (the shell's and COM's included) searches System32
// only. Windows 7 has SetDefaultDllDirectories only with KB2533623; without it
// the delay-load hook above still covers the program's own imports.
bool restrictDllSearchToSystem32()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefaultDllDirectories = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
                                                 GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                           : nullptr;
    return setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

// MSVC's delayimp.h declares the hook const, MinGW-w64's does not.
extern "C" {
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = loadFromSystemFolder;
#else
PfnDliHook __pfnDliNotifyHook2 = loadFromSystemFolder;
#endif
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand)
{
    // Nothing to fall back to when it fails: the program's own DLLs come from
    // System32 either way, and refusing to start would end the updates.
    restrictDllSearchToSystem32();

    const bool startedByAutostart = hasStartupSwitch(commandLine);

    // Held until the process ends; the main window gives up ownership when it
    // is destroyed so that a new instance can start at once.
    ScopedHandle mutex;
    if (activateRunningInstance(&mutex))
        return 0;

    // COM for the accessibility annotations of the controls (and for the
    // shell's handlers behind ShellExecuteW).
    const ScopedComInit com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = kCommonControlClasses;
    InitCommonControlsEx(&controls);

    if (!registerWindowClasses(instance))
        return 1;
    HWND window = createMainWindow(instance);
    if (!window)
        return 1;
    if (startedByAutostart) {
        ShowWindow(window, SW_HIDE);
    } else {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
    }
    return runMessageLoop();
}
