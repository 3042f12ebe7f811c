#include "store/autostart.h"

#include <string>

#include "core/scoped_win.h"
#include "core/system_error.h"
#include "store/store_calls.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValueName[] = L"Lumaroth";

DWORD writeCommandLine(HKEY key)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0)
        return lastErrorCode();
    // A path that fills the buffer was cut short; a command line naming a
    // file that does not exist would only claim an autostart that never
    // happens, so nothing is written and the banner stays.
    if (length >= MAX_PATH)
        return ERROR_INSUFFICIENT_BUFFER;
    // Quoted, so that a path with spaces splits correctly at startup.
    const std::wstring command = L"\"" + std::wstring(path, length) + L"\" " + kStartupSwitch;
    const BYTE* data = reinterpret_cast<const BYTE*>(command.c_str());
    const DWORD size = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    return static_cast<DWORD>(gStoreCalls.writeRunValue(key, kRunValueName, 0, REG_SZ, data, size));
}

}  // namespace

DWORD setAutostart(bool enabled)
{
    ScopedRegKey key;
    // Created when missing (a fresh profile, a cleaning tool): opening alone
    // would make "Enable now" silently write nothing.
    const LSTATUS opened = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (opened != ERROR_SUCCESS)
        return static_cast<DWORD>(opened);
    if (enabled)
        return writeCommandLine(key.get());
    const LSTATUS deleted = RegDeleteValueW(key.get(), kRunValueName);
    return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(deleted);
}

bool isAutostartEnabled()
{
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    // Existence is what counts: a stale path or a value of another type is
    // still the user's registration.
    DWORD size = 0;
    return RegQueryValueExW(key.get(), kRunValueName, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}
