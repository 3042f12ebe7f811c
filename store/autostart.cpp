#include "store/autostart.h"

#include <string>

#include "core/system_error.h"

RegistryValueWriter writeRunValue = RegSetValueExW;

namespace {

DWORD writeCommandLine(HKEY key)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0) return lastErrorCode();
    // A path that fills the buffer was cut short; a command line naming a
    // file that does not exist would only claim an autostart that never
    // happens, so nothing is written and the banner stays.
    if (length >= MAX_PATH) return ERROR_INSUFFICIENT_BUFFER;
    // Quoted, so that a path with spaces splits correctly at startup.
    const std::wstring command = L"\"" + std::wstring(path, length) + L"\" " + kStartupSwitch;
    return static_cast<DWORD>(writeRunValue(key, kRunValueName, 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(command.c_str()),
                                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))));
}

}  // namespace

DWORD setAutostart(bool enabled)
{
    HKEY key = nullptr;
    // Created when missing (a fresh profile, a cleaning tool): opening alone
    // would make "Enable now" silently write nothing.
    const LSTATUS opened = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_SET_VALUE, nullptr, &key, nullptr);
    if (opened != ERROR_SUCCESS) return static_cast<DWORD>(opened);
    DWORD status = ERROR_SUCCESS;
    if (enabled) {
        status = writeCommandLine(key);
    } else {
        status = static_cast<DWORD>(RegDeleteValueW(key, kRunValueName));
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return status;
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
