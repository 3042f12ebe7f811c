#include "tests/common/registry.h"

#include <wincred.h>
#include <winternl.h>

#include <cwchar>

#include "core/scoped_win.h"
#include "tests/common/external_names.h"

bool readUserString(const wchar_t* key, const wchar_t* value, std::wstring* text)
{
    ScopedRegKey handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, handle.put()) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    LONG status = RegQueryValueExW(handle.get(), value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return false;
    *text = buffer;
    return true;
}

bool userValueExists(const wchar_t* key, const wchar_t* value)
{
    ScopedRegKey handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, handle.put()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExW(handle.get(), value, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool keyExists(const wchar_t* keyPath)
{
    ScopedRegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void writeUserString(const wchar_t* key, const wchar_t* value, const std::wstring& text)
{
    ScopedRegKey handle;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, handle.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(handle.get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
}

bool putRawValue(const wchar_t* keyPath, const wchar_t* name, DWORD type, const std::vector<BYTE>& data)
{
    using NtSetValueKeyFn = LONG(NTAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, void*, ULONG);
    auto ntSetValueKey = reinterpret_cast<NtSetValueKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
    if (!ntSetValueKey)
        return false;
    ScopedRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    UNICODE_STRING valueName;
    valueName.Buffer = const_cast<wchar_t*>(name);
    valueName.Length = static_cast<USHORT>(wcslen(name) * sizeof(wchar_t));
    valueName.MaximumLength = valueName.Length;
    return ntSetValueKey(key.get(), &valueName, 0, type, const_cast<BYTE*>(data.data()),
                         static_cast<ULONG>(data.size())) == 0;
}

std::optional<RawValue> getRawValue(const wchar_t* keyPath, const wchar_t* name)
{
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue raw;
    raw.type = type;
    raw.data.resize(size);
    if (RegQueryValueExW(key.get(), name, nullptr, &type, raw.data.empty() ? nullptr : raw.data.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    raw.data.resize(size);
    return raw;
}

void deleteRawValue(const wchar_t* keyPath, const wchar_t* name)
{
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        RegDeleteValueW(key.get(), name);
}

StoredState readStoredState()
{
    StoredState state;
    state.hasIp = readUserString(kStateKey, kValueLastIp, &state.ip);
    state.hasLastTime = readUserString(kStateKey, kValueLastTime, &state.lastTime);
    state.hasChangeTime = readUserString(kStateKey, kValueIpChangeTime, &state.changeTime);
    return state;
}

void seedStoredState(const std::wstring& ip, const std::wstring& lastTime, const std::wstring& changeTime)
{
    writeUserString(kStateKey, kValueLastIp, ip);
    writeUserString(kStateKey, kValueLastTime, lastTime);
    writeUserString(kStateKey, kValueIpChangeTime, changeTime);
}

void seedAutostart(const std::wstring& exePath)
{
    writeUserString(kRunKey, kRunValueName, L"\"" + exePath + L"\" /startup");
}

bool readAccountCredential(StoredCredential* credential)
{
    ScopedCredential owner;
    if (!CredReadW(kCredentialTarget, CRED_TYPE_GENERIC, 0, owner.put()))
        return false;
    const CREDENTIALW* stored = owner.get();
    credential->blob.assign(reinterpret_cast<const char*>(stored->CredentialBlob), stored->CredentialBlobSize);
    credential->userName = stored->UserName ? stored->UserName : L"";
    credential->comment = stored->Comment ? stored->Comment : L"";
    credential->type = stored->Type;
    credential->persist = stored->Persist;
    return true;
}

bool writeAccountBlob(const std::string& blob, const wchar_t* userName, const wchar_t* comment)
{
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = const_cast<wchar_t*>(kCredentialTarget);
    credential.Comment = const_cast<wchar_t*>(comment);
    credential.CredentialBlobSize = static_cast<DWORD>(blob.size());
    credential.CredentialBlob = blob.empty() ? nullptr : reinterpret_cast<BYTE*>(const_cast<char*>(blob.data()));
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    credential.UserName = const_cast<wchar_t*>(userName);
    return CredWriteW(&credential, 0) != FALSE;
}

void seedAccount(const std::string& hostname, const std::string& username, const std::string& key)
{
    writeAccountBlob(hostname + "|" + username + "|" + key, widen(username).c_str(), kCredentialComment);
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
