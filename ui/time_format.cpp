#include "ui/time_format.h"

#include <cwchar>

std::wstring formatCountdown(int32_t seconds)
{
    wchar_t text[16] = {};
    swprintf(text, 16, L"%02d:%02ds", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    return text;
}

std::wstring formatTimestamp(const SYSTEMTIME& time)
{
    int hour12 = time.wHour > 12 ? time.wHour - 12 : (time.wHour == 0 ? 12 : time.wHour);
    const wchar_t* suffix = time.wHour < 12 ? L"AM" : L"PM";
    wchar_t text[64] = {};
    swprintf(text, 64, L"%d/%d/%d %d:%02d:%02d %ls", time.wMonth, time.wDay, time.wYear, hour12, time.wMinute,
             time.wSecond, suffix);
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
        long long m = d / 60;
        swprintf(text, 64, m <= 1 ? L"%lld minute ago" : L"%lld minutes ago", m);
    } else if (d < 86400) {
        long long h = d / 3600;
        long long m = (d - 3600 * h) / 60;
        if (m > 0)
            swprintf(text, 64, L"%lldh %lldm ago", h, m);
        else
            swprintf(text, 64, h <= 1 ? L"%lld hour ago" : L"%lld hours ago", h);
    } else {
        long long n = d / 86400;
        swprintf(text, 64, n <= 1 ? L"%lld day ago" : L"%lld days ago", n);
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
