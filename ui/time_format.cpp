#include "ui/time_format.h"

#include <cwchar>

// The texts are made with the C runtime's own _snwprintf: MinGW's swprintf is
// a C99 formatter of its own (with floating point) that would be linked into
// the exe for these few integers. Every number shown fits an int.
std::wstring formatCountdown(int32_t seconds)
{
    wchar_t text[16] = {};
    _snwprintf(text, 15, L"%02d:%02ds", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    return text;
}

std::wstring formatTimestamp(const SYSTEMTIME& time)
{
    int hour12 = time.wHour > 12 ? time.wHour - 12 : (time.wHour == 0 ? 12 : time.wHour);
    const wchar_t* suffix = time.wHour < 12 ? L"AM" : L"PM";
    wchar_t text[64] = {};
    _snwprintf(text, 63, L"%d/%d/%d %d:%02d:%02d %ls", time.wMonth, time.wDay, time.wYear, hour12,
               time.wMinute, time.wSecond, suffix);
    return text;
}

bool systemTimeToSeconds(const SYSTEMTIME& time, uint64_t& seconds)
{
    FILETIME fileTime = {};
    if (!SystemTimeToFileTime(&time, &fileTime))
        return false;
    uint64_t ticks = (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
    // Each time drops its own milliseconds before the difference is taken.
    seconds = ticks / 10000000ULL;
    return true;
}

std::wstring formatAge(int64_t d)
{
    wchar_t text[64] = {};
    if (d < 60)
        return L"just now";
    if (d < 3600) {
        int m = static_cast<int>(d / 60);
        _snwprintf(text, 63, m <= 1 ? L"%d minute ago" : L"%d minutes ago", m);
    } else if (d < 86400) {
        int h = static_cast<int>(d / 3600);
        int m = static_cast<int>((d - 3600LL * h) / 60);
        if (m > 0)
            _snwprintf(text, 63, L"%dh %dm ago", h, m);
        else
            _snwprintf(text, 63, h <= 1 ? L"%d hour ago" : L"%d hours ago", h);
    } else {
        // SYSTEMTIME ends in the year 30827: at most some 11 million days.
        int n = static_cast<int>(d / 86400);
        _snwprintf(text, 63, n <= 1 ? L"%d day ago" : L"%d days ago", n);
    }
    return text;
}

std::wstring formatRelativeTime(const SYSTEMTIME& time)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    uint64_t nowSeconds = 0;
    uint64_t thenSeconds = 0;
    // A time the system cannot convert has no age; the state loader already
    // drops such values, so this is only a defined fallback.
    if (!systemTimeToSeconds(now, nowSeconds) || !systemTimeToSeconds(time, thenSeconds))
        return L"just now";
    return formatAge(static_cast<int64_t>(nowSeconds) - static_cast<int64_t>(thenSeconds));
}
