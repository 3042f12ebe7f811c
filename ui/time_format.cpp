#include "ui/time_format.h"

#include <cwchar>

std::wstring formatTimestamp(const SYSTEMTIME& time)
{
    return formatClockTime({time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond});
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
