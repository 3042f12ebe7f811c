// The text form of a stored time, "%04d-%02d-%02dT%02d:%02d:%02d" in local
// wall-clock time, over a plain record. Pure: no <windows.h>.
#pragma once

#include <optional>
#include <string>

#include "core/time_fields.h"

// The six fields as the stored text gives them, each within a 16-bit signed
// number; no range check is made here (a month 13 is the system's to reject).
using StateTime = TimeFields;

// Six numbers separated by "-", "-", "T", ":", ":"; each may have white space
// and a sign before it; text after the sixth is ignored. Nothing when a
// number is missing or does not fit in 16 bits.
std::optional<StateTime> parseStateTimeText(const std::wstring& text);
std::wstring formatStateTime(const StateTime& time);
