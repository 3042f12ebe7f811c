// winhttp.dll and crypt32.dll, the DLLs the update client calls into, taken
// from System32 by full path only. Lumaroth.exe delay-loads them (app/) so
// that Windows never looks for them beside the exe, where a planted copy
// would run as the user.
#pragma once

#include <windows.h>

#include "core/scoped_win.h"

using LibraryLoader = HMODULE(WINAPI*)(LPCWSTR fileName, HANDLE reserved, DWORD flags);

// The tests' seam: LoadLibraryExW unless a test puts a failing stand-in in
// its place. Only tests write it.
struct SystemDllCalls {
    LibraryLoader loadLibrary;
};
extern SystemDllCalls gSystemDllCalls;

// name as the delay-load helper names it ("winhttp.dll"): one more reference
// to that DLL of System32, or nullptr when it cannot be loaded.
HMODULE loadSystemDll(const char* name);

// Both DLLs, held for one exchange.
struct UpdateDlls {
    ScopedModule winhttp;
    ScopedModule crypt32;
    bool loaded() const { return winhttp && crypt32; }
};

// Every exchange takes these first and ends as "no answer" without them: the
// first call into a delay-loaded DLL that cannot be loaded has no way back but
// an exception that nothing would handle.
UpdateDlls loadUpdateDlls();
