#include "store/autostart.h"

#include <windows.h>

#include <string>

void setAutostart(bool enabled)
{
    HKEY key = nullptr;
    // Created when missing (a fresh profile, a cleaning tool): opening alone
    // would make "Enable now" silently write nothing.
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    if (!enabled) {
        RegDeleteValueW(key, kRunValueName);
    } else {
        wchar_t path[MAX_PATH] = {};
        DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        // A path that fills the buffer was cut short; a command line naming a
        // file that does not exist would only claim an autostart that never
        // happens, so nothing is written and the banner stays.
        if (length > 0 && length < MAX_PATH) {
            // Quoted, so that a path with spaces splits correctly at startup.
            std::wstring command = L"\"" + std::wstring(path, length) + L"\" " + kStartupSwitch;
            RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        }
    }
    RegCloseKey(key);
}

bool isAutostartEnabled()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    // Existence is what counts: a stale path or a value of another type is
    // still the user's registration.
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, kRunValueName, nullptr, nullptr, nullptr, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
