// Raw registry access for the store tests: values are written and read back
// byte for byte, bypassing the code under test.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cwchar>

#include <optional>
#include <string>
#include <vector>

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

inline bool operator==(const RawValue& a, const RawValue& b)
{
    return a.type == b.type && a.data == b.data;
}

inline std::vector<BYTE> bytesOf(const std::wstring& text, bool withNul = true)
{
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(begin, begin + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
}

// Stores exactly these bytes. RegSetValueExW would add a NUL to a string
// that lacks one, so this goes one level down, as a hand-made value might.
inline bool putRawValue(const wchar_t* keyPath, const wchar_t* name, DWORD type, const std::vector<BYTE>& data)
{
    using NtSetValueKeyFn = LONG(NTAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, void*, ULONG);
    auto ntSetValueKey = reinterpret_cast<NtSetValueKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
    if (!ntSetValueKey)
        return false;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    UNICODE_STRING valueName;
    valueName.Buffer = const_cast<wchar_t*>(name);
    valueName.Length = static_cast<USHORT>(wcslen(name) * sizeof(wchar_t));
    valueName.MaximumLength = valueName.Length;
    LONG status = ntSetValueKey(key, &valueName, 0, type, const_cast<BYTE*>(data.data()),
                                static_cast<ULONG>(data.size()));
    RegCloseKey(key);
    return status == 0;
}

inline std::optional<RawValue> getRawValue(const wchar_t* keyPath, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<RawValue> value;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        RawValue raw;
        raw.type = type;
        raw.data.resize(size);
        if (RegQueryValueExW(key, name, nullptr, &type, raw.data.empty() ? nullptr : raw.data.data(), &size) ==
            ERROR_SUCCESS) {
            raw.data.resize(size);
            value = raw;
        }
    }
    RegCloseKey(key);
    return value;
}

inline void deleteRawValue(const wchar_t* keyPath, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, name);
    RegCloseKey(key);
}

inline bool keyExists(const wchar_t* keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
