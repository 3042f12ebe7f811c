#include "tests/e2e/e2e_store.h"

#include <cstdio>
#include <cwchar>

namespace {

unsigned long long secondsOf(const SYSTEMTIME& time)
{
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return ((unsigned long long)file.dwHighDateTime << 32 | file.dwLowDateTime) / 10000000ull;
}

}  // namespace

std::wstring stateTimeText(const SYSTEMTIME& time)
{
    wchar_t text[64];
    swprintf(text, 64, L"%04d-%02d-%02dT%02d:%02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
             time.wSecond);
    return text;
}

bool parseStateTime(const std::wstring& text, SYSTEMTIME* time)
{
    *time = SYSTEMTIME{};
    return swscanf(text.c_str(), L"%hd-%hd-%hdT%hd:%hd:%hd", &time->wYear, &time->wMonth, &time->wDay, &time->wHour,
                   &time->wMinute, &time->wSecond) == 6;
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
