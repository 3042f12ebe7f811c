#include "tests/e2e/e2e_store.h"

#include <wincred.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr wchar_t kLumarothKey[] = L"Software\\Lumaroth";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

unsigned long long secondsOf(const SYSTEMTIME& time)
{
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return ((unsigned long long)file.dwHighDateTime << 32 | file.dwLowDateTime) / 10000000ull;
}

} // namespace

bool readUserString(const wchar_t* key, const wchar_t* value, std::wstring* text)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    LONG status = RegQueryValueExW(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return false;
    *text = buffer;
    return true;
}

bool userValueExists(const wchar_t* key, const wchar_t* value)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    LONG status = RegQueryValueExW(handle, value, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

bool userKeyExists(const wchar_t* key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void writeUserString(const wchar_t* key, const wchar_t* value, const std::wstring& text)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(handle, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

StoredState readStoredState()
{
    StoredState state;
    state.hasIp = readUserString(kLumarothKey, L"ddns_last_ip", &state.ip);
    state.hasLastTime = readUserString(kLumarothKey, L"ddns_last_time", &state.lastTime);
    state.hasChangeTime = readUserString(kLumarothKey, L"ddns_ip_change_time", &state.changeTime);
    return state;
}

void seedStoredState(const std::wstring& ip, const std::wstring& lastTime, const std::wstring& changeTime)
{
    writeUserString(kLumarothKey, L"ddns_last_ip", ip);
    writeUserString(kLumarothKey, L"ddns_last_time", lastTime);
    writeUserString(kLumarothKey, L"ddns_ip_change_time", changeTime);
}

void seedAutostart(const std::wstring& exePath)
{
    writeUserString(kRunKey, L"Lumaroth", L"\"" + exePath + L"\" /startup");
}

bool readAccountCredential(StoredCredential* credential)
{
    PCREDENTIALW stored = nullptr;
    if (!CredReadW(L"Vexlumen", CRED_TYPE_GENERIC, 0, &stored))
        return false;
    credential->blob.assign(reinterpret_cast<const char*>(stored->CredentialBlob), stored->CredentialBlobSize);
    credential->userName = stored->UserName ? stored->UserName : L"";
    credential->comment = stored->Comment ? stored->Comment : L"";
    credential->type = stored->Type;
    credential->persist = stored->Persist;
    CredFree(stored);
    return true;
}

void seedAccount(const std::string& hostname, const std::string& username, const std::string& key)
{
    std::string blob = hostname + "|" + username + "|" + key;
    std::wstring user = widen(username);
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = const_cast<wchar_t*>(L"Vexlumen");
    credential.Comment = const_cast<wchar_t*>(L"Lumaroth Dynamic DNS Client");
    credential.CredentialBlobSize = DWORD(blob.size());
    credential.CredentialBlob = reinterpret_cast<BYTE*>(&blob[0]);
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    credential.UserName = &user[0];
    CredWriteW(&credential, 0);
}

std::wstring stateTimeText(const SYSTEMTIME& time)
{
    wchar_t text[64];
    swprintf(text, 64, L"%04d-%02d-%02dT%02d:%02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond);
    return text;
}

bool parseStateTime(const std::wstring& text, SYSTEMTIME* time)
{
    *time = SYSTEMTIME{};
    return swscanf(text.c_str(), L"%hd-%hd-%hdT%hd:%hd:%hd", &time->wYear, &time->wMonth, &time->wDay,
                   &time->wHour, &time->wMinute, &time->wSecond) == 6;
}

SYSTEMTIME localTimeAgo(long long secondsAgo)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    unsigned long long seconds = secondsOf(now) - (unsigned long long)secondsAgo;
    unsigned long long ticks = seconds * 10000000ull;
    FILETIME file{DWORD(ticks & 0xFFFFFFFF), DWORD(ticks >> 32)};
    SYSTEMTIME then{};
    FileTimeToSystemTime(&file, &then);
    then.wMilliseconds = 0;
    return then;
}

std::wstring timestampText(const SYSTEMTIME& time)
{
    int hour = time.wHour > 12 ? time.wHour - 12 : (time.wHour == 0 ? 12 : time.wHour);
    wchar_t text[64];
    swprintf(text, 64, L"%d/%d/%d %d:%02d:%02d %ls", time.wMonth, time.wDay, time.wYear, hour, time.wMinute,
             time.wSecond, time.wHour < 12 ? L"AM" : L"PM");
    return text;
}

std::wstring widen(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &text[0], length);
    return text;
}

std::string narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}
