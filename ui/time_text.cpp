#include "ui/time_text.h"

#include <cwchar>

std::wstring formatCountdown(int32_t seconds)
{
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"%02d:%02ds", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    return text;
}

std::wstring formatClockTime(const ClockTime& time)
{
    int hour12 = time.hour > 12 ? time.hour - 12 : (time.hour == 0 ? 12 : time.hour);
    const wchar_t* suffix = time.hour < 12 ? L"AM" : L"PM";
    wchar_t text[64] = {};
    std::swprintf(text, 64, L"%d/%d/%d %d:%02d:%02d %ls", time.month, time.day, time.year, hour12, time.minute,
                  time.second, suffix);
    return text;
}

std::wstring formatAge(int64_t d)
{
    wchar_t text[64] = {};
    if (d < 60)
        return L"just now";
    if (d < 3600) {
        long long m = d / 60;
        std::swprintf(text, 64, m <= 1 ? L"%lld minute ago" : L"%lld minutes ago", m);
    } else if (d < 86400) {
        long long h = d / 3600;
        long long m = (d - 3600 * h) / 60;
        if (m > 0)
            std::swprintf(text, 64, L"%lldh %lldm ago", h, m);
        else
            std::swprintf(text, 64, h <= 1 ? L"%lld hour ago" : L"%lld hours ago", h);
    } else {
        long long n = d / 86400;
        std::swprintf(text, 64, n <= 1 ? L"%lld day ago" : L"%lld days ago", n);
    }
    return text;
}
