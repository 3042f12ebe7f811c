// What the program keeps between runs, read and seeded through the same
// registry and credential manager of the journey's prefix.
#pragma once

#include <windows.h>

#include <string>

// --- Registry (HKEY_CURRENT_USER) -----------------------------------------
bool readUserString(const wchar_t* key, const wchar_t* value, std::wstring* text);
bool userValueExists(const wchar_t* key, const wchar_t* value);
bool userKeyExists(const wchar_t* key);
void writeUserString(const wchar_t* key, const wchar_t* value, const std::wstring& text);

// The three state values under Software\Lumaroth.
struct StoredState {
    bool hasIp = false, hasLastTime = false, hasChangeTime = false;
    std::wstring ip, lastTime, changeTime;
};
StoredState readStoredState();
void seedStoredState(const std::wstring& ip, const std::wstring& lastTime, const std::wstring& changeTime);
// The Run value that "Enable now" writes, for this exe.
void seedAutostart(const std::wstring& exePath);

// --- Credential manager ---------------------------------------------------
struct StoredCredential {
    std::string blob;          // host|user|key in UTF-8
    std::wstring userName;
    std::wstring comment;
    DWORD type = 0;
    DWORD persist = 0;
};
bool readAccountCredential(StoredCredential* credential);
// Stores an account the way a successful login does.
void seedAccount(const std::string& hostname, const std::string& username, const std::string& key);

// --- Times ------------------------------------------------------------------
// "%04d-%02d-%02dT%02d:%02d:%02d", the registry's time text.
std::wstring stateTimeText(const SYSTEMTIME& time);
bool parseStateTime(const std::wstring& text, SYSTEMTIME* time);
// Local time secondsAgo seconds before now.
SYSTEMTIME localTimeAgo(long long secondsAgo);
// "M/D/YYYY h:mm:ss AM", the status line's timestamp.
std::wstring timestampText(const SYSTEMTIME& time);

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& text);
