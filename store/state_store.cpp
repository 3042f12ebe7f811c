#include "store/state_store.h"

#include <cwchar>

#include "core/app_state.h"
#include "core/scoped_win.h"
#include "core/time_text.h"

namespace {

// Where the state lives: HKCU\Software\Lumaroth and its three values.
const wchar_t kStateKey[] = L"Software\\Lumaroth";
const wchar_t kValueLastIp[] = L"ddns_last_ip";
const wchar_t kValueLastTime[] = L"ddns_last_time";
const wchar_t kValueIpChangeTime[] = L"ddns_ip_change_time";
const DWORD kStateReadBufferBytes = 2048;

// A hand-edited value can hold a month 13 or a negative hour; such a time
// cannot become a FILETIME, so no formatter could show it. It counts as absent.
void loadStateTime(const wchar_t* name, SYSTEMTIME& time, bool& present)
{
    std::wstring text = readStateValue(name);
    if (text.empty())
        return;
    std::optional<SYSTEMTIME> parsed = parseStateTime(text);
    FILETIME check;
    if (!parsed || !SystemTimeToFileTime(&*parsed, &check))
        return;
    time = *parsed;
    present = true;
}

}  // namespace

std::wstring readStateValue(const wchar_t* name)
{
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStateKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::wstring();

    wchar_t buffer[kStateReadBufferBytes / sizeof(wchar_t)] = {};
    DWORD type = REG_NONE;
    DWORD size = kStateReadBufferBytes;
    const LONG status = RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    // ERROR_MORE_DATA (a value over the buffer) and any other type read as
    // empty. The stored data need not end in a NUL, and a hand-made value may
    // even have an odd byte count: only whole characters inside the returned
    // size count.
    if (status != ERROR_SUCCESS || type != REG_SZ || size > kStateReadBufferBytes)
        return std::wstring();
    return std::wstring(buffer, wcsnlen(buffer, size / sizeof(wchar_t)));
}

DWORD writeStateValue(const wchar_t* name, const std::wstring& text)
{
    ScopedRegKey key;
    const LSTATUS opened = RegCreateKeyExW(HKEY_CURRENT_USER, kStateKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                           nullptr, key.put(), nullptr);
    if (opened != ERROR_SUCCESS)
        return static_cast<DWORD>(opened);
    const BYTE* data = reinterpret_cast<const BYTE*>(text.c_str());
    const DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return static_cast<DWORD>(RegSetValueExW(key.get(), name, 0, REG_SZ, data, size));
}

std::optional<SYSTEMTIME> parseStateTime(const std::wstring& text)
{
    std::optional<TimeFields> parsed = parseStateTimeText(text);
    if (!parsed)
        return std::nullopt;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(parsed->year);
    time.wMonth = static_cast<WORD>(parsed->month);
    time.wDay = static_cast<WORD>(parsed->day);
    time.wHour = static_cast<WORD>(parsed->hour);
    time.wMinute = static_cast<WORD>(parsed->minute);
    time.wSecond = static_cast<WORD>(parsed->second);
    return time;
}

void loadState()
{
    appState.lastIp = readStateValue(kValueLastIp);
    loadStateTime(kValueLastTime, appState.lastUpdateTime, appState.hasLastUpdateTime);
    loadStateTime(kValueIpChangeTime, appState.ipChangeTime, appState.hasIpChangeTime);
}

void saveUpdateState(const std::wstring& ip, bool ipChanged)
{
    // Each value is written even when one before it was refused.
    (void)writeStateValue(kValueLastIp, ip);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring text = formatStateTime({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
    (void)writeStateValue(kValueLastTime, text);
    appState.lastUpdateTime = now;
    appState.hasLastUpdateTime = true;
    if (ipChanged) {
        (void)writeStateValue(kValueIpChangeTime, text);
        appState.ipChangeTime = now;
        appState.hasIpChangeTime = true;
    }
}

void deleteStateValues()
{
    ScopedRegKey key;
    // No key, no values: nothing is created to delete from.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStateKey, 0, KEY_WRITE, key.put()) != ERROR_SUCCESS)
        return;
    for (const wchar_t* name : {kValueLastIp, kValueLastTime, kValueIpChangeTime})
        RegDeleteValueW(key.get(), name);
}
