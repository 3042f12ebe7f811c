#include "store/state_store.h"

#include "app/app_state.h"
#include "app/constants.h"

#include <cwchar>

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

void writeStateValue(const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kStateKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::optional<SYSTEMTIME> parseStateTime(const std::wstring& text)
{
    short year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // The C runtime's scanner (MinGW's own swscanf brings a floating-point
    // parser into the exe); the text ends at its first NUL as before.
    if (_snwscanf(text.c_str(), std::wcslen(text.c_str()), L"%hd-%hd-%hdT%hd:%hd:%hd", &year, &month, &day,
                  &hour, &minute, &second) != 6)
        return std::nullopt;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
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

void saveUpdateState(const std::wstring& ip, bool ipChanged)
{
    writeStateValue(kValueLastIp, ip);

    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[64] = {};
    _snwprintf(text, 63, L"%04d-%02d-%02dT%02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
               now.wMinute, now.wSecond);

    writeStateValue(kValueLastTime, text);
    appState.lastUpdateTime = now;
    appState.hasLastUpdateTime = true;
    if (ipChanged) {
        writeStateValue(kValueIpChangeTime, text);
        appState.ipChangeTime = now;
        appState.hasIpChangeTime = true;
    }
}

void deleteStateValues()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStateKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, kValueLastIp);
    RegDeleteValueW(key, kValueLastTime);
    RegDeleteValueW(key, kValueIpChangeTime);
    RegCloseKey(key);
}
