#include "core/time_text.h"

#include <cwctype>

#include "core/decimal_text.h"

namespace {

// One number as scanf's "%hd" reads it (white space, a sign, decimal digits)
// but with the range checked: scanf's behaviour on a number out of range is
// undefined, and in practice 67561 wraps round to a plausible 2025.
bool readNumber(const std::wstring& text, size_t& at, int& value)
{
    while (at < text.size() && std::iswspace(static_cast<wint_t>(text[at])))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) {
        negative = text[at] == L'-';
        ++at;
    }
    const size_t digitsStart = at;
    long magnitude = 0;
    const long limit = negative ? 32768L : 32767L;
    while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
        magnitude = magnitude * 10 + (text[at] - L'0');
        if (magnitude > limit)
            return false;
        ++at;
    }
    if (at == digitsStart)
        return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

bool readLiteral(const std::wstring& text, size_t& at, wchar_t literal)
{
    if (at >= text.size() || text[at] != literal)
        return false;
    ++at;
    return true;
}

}  // namespace

std::optional<TimeFields> parseStateTimeText(const std::wstring& text)
{
    TimeFields time;
    size_t at = 0;
    if (readNumber(text, at, time.year) && readLiteral(text, at, L'-') && readNumber(text, at, time.month) &&
        readLiteral(text, at, L'-') && readNumber(text, at, time.day) && readLiteral(text, at, L'T') &&
        readNumber(text, at, time.hour) && readLiteral(text, at, L':') && readNumber(text, at, time.minute) &&
        readLiteral(text, at, L':') && readNumber(text, at, time.second))
        return time;
    return std::nullopt;
}

std::wstring formatStateTime(const TimeFields& time)
{
    return decimalText(time.year, 4) + L"-" + decimalText(time.month, 2) + L"-" + decimalText(time.day, 2) + L"T" +
           decimalText(time.hour, 2) + L":" + decimalText(time.minute, 2) + L":" + decimalText(time.second, 2);
}

std::wstring formatCountdown(int32_t seconds)
{
    return decimalText(seconds / 60, 2) + L":" + decimalText(seconds % 60, 2) + L"s";
}

std::wstring formatClockTime(const TimeFields& time)
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
