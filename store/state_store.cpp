#include "store/state_store.h"

#include "core/app_state.h"

#include <cwchar>

#include "core/time_text.h"

std::wstring readStateValue(const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStateKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();

    wchar_t buffer[kStateReadBufferBytes / sizeof(wchar_t)] = {};
    DWORD type = REG_NONE;
    DWORD size = kStateReadBufferBytes;
    LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    std::wstring text;
    // ERROR_MORE_DATA (a value over the buffer) and any other type read as
    // empty. The stored data need not end in a NUL, and a hand-made value may
    // even have an odd byte count: only whole characters inside the returned
    // size count.
    if (status == ERROR_SUCCESS && type == REG_SZ && size <= kStateReadBufferBytes) {
        size_t units = size / sizeof(wchar_t);
        text.assign(buffer, wcsnlen(buffer, units));
    }
    RegCloseKey(key);
    return text;
}

DWORD writeStateValue(const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    const LSTATUS opened = RegCreateKeyExW(HKEY_CURRENT_USER, kStateKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_WRITE, nullptr, &key, nullptr);
    if (opened != ERROR_SUCCESS) return static_cast<DWORD>(opened);
    const LSTATUS written = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return static_cast<DWORD>(written);
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

// A hand-edited value can hold a month 13 or a negative hour; such a time
// cannot become a FILETIME, so no formatter could show it. It counts as absent.
static void loadStateTime(const wchar_t* name, SYSTEMTIME& time, bool& present)
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

void loadState()
{
    appState.lastIp = readStateValue(kValueLastIp);
    loadStateTime(kValueLastTime, appState.lastUpdateTime, appState.hasLastUpdateTime);
    loadStateTime(kValueIpChangeTime, appState.ipChangeTime, appState.hasIpChangeTime);
}

DWORD saveUpdateState(const std::wstring& ip, bool ipChanged)
{
    DWORD status = writeStateValue(kValueLastIp, ip);

    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring text = formatStateTime({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});

    const DWORD timeStatus = writeStateValue(kValueLastTime, text);
    if (status == ERROR_SUCCESS) status = timeStatus;
    appState.lastUpdateTime = now;
    appState.hasLastUpdateTime = true;
    if (ipChanged) {
        const DWORD changeStatus = writeStateValue(kValueIpChangeTime, text);
        if (status == ERROR_SUCCESS) status = changeStatus;
        appState.ipChangeTime = now;
        appState.hasIpChangeTime = true;
    }
    return status;
}

DWORD deleteStateValues()
{
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, kStateKey, 0, KEY_WRITE, &key);
    // No key, no values.
    if (opened == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (opened != ERROR_SUCCESS) return static_cast<DWORD>(opened);
    DWORD status = ERROR_SUCCESS;
    for (const wchar_t* name : {kValueLastIp, kValueLastTime, kValueIpChangeTime}) {
        const LSTATUS deleted = RegDeleteValueW(key, name);
        if (status == ERROR_SUCCESS && deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
            status = static_cast<DWORD>(deleted);
    }
    RegCloseKey(key);
    return status;
}
