// The tests' one way into what the program keeps between runs: the current
// user's registry and the credential manager, read and written directly,
// bypassing the code under test (integration tests check the stores with it,
// journeys seed and read the prefix of the program they drive).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// --- Registry (HKEY_CURRENT_USER) ---------------------------------------------
bool readUserString(const wchar_t* key, const wchar_t* value, std::wstring* text);
bool userValueExists(const wchar_t* key, const wchar_t* value);
bool keyExists(const wchar_t* keyPath);
inline bool userKeyExists(const wchar_t* key)
{
    return keyExists(key);
}
void writeUserString(const wchar_t* key, const wchar_t* value, const std::wstring& text);

// A value byte for byte, as a hand-made or damaged one may be.
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

inline std::vector<BYTE> bytesOf(DWORD number)
{
    const BYTE* begin = reinterpret_cast<const BYTE*>(&number);
    return std::vector<BYTE>(begin, begin + sizeof number);
}

// One row of a table of hand-made values.
struct RawValueCase {
    const char* label;
    DWORD type;
    std::vector<BYTE> data;
};

// Stores exactly these bytes. RegSetValueExW would add a NUL to a string
// that lacks one, so this goes one level down, as a hand-made value might.
bool putRawValue(const wchar_t* keyPath, const wchar_t* name, DWORD type, const std::vector<BYTE>& data);
std::optional<RawValue> getRawValue(const wchar_t* keyPath, const wchar_t* name);
void deleteRawValue(const wchar_t* keyPath, const wchar_t* name);

// The three state values under Software\Lumaroth.
struct StoredState {
    bool hasIp = false, hasLastTime = false, hasChangeTime = false;
    std::wstring ip, lastTime, changeTime;
};
StoredState readStoredState();
void seedStoredState(const std::wstring& ip, const std::wstring& lastTime, const std::wstring& changeTime);
// The Run value that "Enable now" writes, for this exe.
void seedAutostart(const std::wstring& exePath);

// --- Credential manager: the generic credential "Vexlumen" -------------------------
struct StoredCredential {
    std::string blob;  // host|user|key in UTF-8
    std::wstring userName;
    std::wstring comment;
    DWORD type = 0;
    DWORD persist = 0;
};
bool readAccountCredential(StoredCredential* credential);
// Stores blob as the account's credential, with a user name and comment when
// given (null: none), whatever the bytes are.
bool writeAccountBlob(const std::string& blob, const wchar_t* userName = nullptr, const wchar_t* comment = nullptr);
// Stores an account the way a successful login does.
void seedAccount(const std::string& hostname, const std::string& username, const std::string& key);

// UTF-8 and UTF-16 as the credential's blob and user name hold them.
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& text);
