#include "ui/time_text.h"

#include "core/decimal_text.h"

std::wstring formatCountdown(int32_t seconds)
{
    return decimalText(seconds / 60, 2) + L":" + decimalText(seconds % 60, 2) + L"s";
}

std::wstring formatClockTime(const ClockTime& time)
{
    int hour12 = time.hour > 12 ? time.hour - 12 : (time.hour == 0 ? 12 : time.hour);
    const wchar_t* suffix = time.hour < 12 ? L"AM" : L"PM";
    return decimalText(time.month) + L"/" + decimalText(time.day) + L"/" + decimalText(time.year) + L" " +
           decimalText(hour12) + L":" + decimalText(time.minute, 2) + L":" + decimalText(time.second, 2) + L" " +
           suffix;
}

std::wstring formatAge(int64_t d)
{
    if (d < 60)
        return L"just now";
    if (d < 3600) {
        long long m = d / 60;
        return decimalText(m) + (m <= 1 ? L" minute ago" : L" minutes ago");
    }
    if (d < 86400) {
        long long h = d / 3600;
        long long m = (d - 3600 * h) / 60;
        if (m > 0)
            return decimalText(h) + L"h " + decimalText(m) + L"m ago";
        return decimalText(h) + (h <= 1 ? L" hour ago" : L" hours ago");
    }
    long long n = d / 86400;
    return decimalText(n) + (n <= 1 ? L" day ago" : L" days ago");
}
