// The six fields of a SYSTEMTIME as plain numbers, for the pure parsers and
// formatters of stored and shown times. Pure: no <windows.h>.
#pragma once

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
