#include "update/system_dlls.h"

SystemDllCalls gSystemDllCalls = {LoadLibraryExW};

HMODULE loadSystemDll(const char* name)
{
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 1)
        return nullptr;
    path[length++] = L'\\';
    for (; *name; ++name) {
        if (length >= MAX_PATH - 1)
            return nullptr;
        path[length++] = static_cast<wchar_t>(static_cast<unsigned char>(*name));
    }
    path[length] = L'\0';
    // The DLL's own imports come from System32 as well. A Windows 7 without
    // KB2533623 does not know the flag and refuses it as an invalid
    // parameter; the altered search path starts the search for those imports
    // in the DLL's folder instead of the exe's.
    HMODULE module = gSystemDllCalls.loadLibrary(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module = gSystemDllCalls.loadLibrary(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module;
}

UpdateDlls loadUpdateDlls()
{
    UpdateDlls dlls;
    dlls.winhttp.reset(loadSystemDll("winhttp.dll"));
    dlls.crypt32.reset(loadSystemDll("crypt32.dll"));
    return dlls;
}
