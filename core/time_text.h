// Times as plain numbers and their texts: the stored form of the state
// values and the shown forms of the status panel. Pure: no <windows.h>, so
// the parsers and formatters build natively and can be fuzzed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The six fields of a SYSTEMTIME as plain numbers, in local wall-clock time.
struct TimeFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

inline bool operator==(const TimeFields& a, const TimeFields& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

// The stored form, "%04d-%02d-%02dT%02d:%02d:%02d". Reading takes six numbers
// separated by "-", "-", "T", ":", ":"; each may have white space and a sign
// before it; text after the sixth is ignored. Nothing when a number is
// missing or does not fit in 16 bits; no range check is made here (a month
// 13 is the system's to reject).
std::optional<TimeFields> parseStateTimeText(const std::wstring& text);
std::wstring formatStateTime(const TimeFields& time);

// "%02d:%02ds": 120 -> "02:00s"; minutes are not limited to two digits.
std::wstring formatCountdown(int32_t seconds);

// 12-hour clock, "3/7/2025 4:05:09 PM".
std::wstring formatClockTime(const TimeFields& time);

// The age text for a difference in whole seconds: "just now", "5 minutes
// ago", "1h 10m ago", "2 days ago".
std::wstring formatAge(int64_t seconds);
