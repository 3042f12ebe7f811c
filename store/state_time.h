// The text form of a stored time, "%04d-%02d-%02dT%02d:%02d:%02d" in local
// wall-clock time, over a plain record. Pure: no <windows.h>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The six fields as the stored text gives them, each a 16-bit signed number;
// no range check is made here (a month 13 is the system's to reject).
struct StateTime {
    int16_t year = 0;
    int16_t month = 0;
    int16_t day = 0;
    int16_t hour = 0;
    int16_t minute = 0;
    int16_t second = 0;
};

bool operator==(const StateTime& a, const StateTime& b);

// Six numbers separated by "-", "-", "T", ":", ":"; each may have white space
// and a sign before it; text after the sixth is ignored. Nothing when a
// number is missing or does not fit in 16 bits.
std::optional<StateTime> parseStateTimeText(const std::wstring& text);
std::wstring formatStateTime(const StateTime& time);
