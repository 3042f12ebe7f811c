// The formatters of ui/time_format.h that need no clock and no SYSTEMTIME.
// Pure: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>

#include "core/time_fields.h"

// The fields formatTimestamp shows.
using ClockTime = TimeFields;

// "%02d:%02ds": 120 -> "02:00s"; minutes are not limited to two digits.
std::wstring formatCountdown(int32_t seconds);

// 12-hour clock, "3/7/2025 4:05:09 PM".
std::wstring formatClockTime(const ClockTime& time);

// The age text for a difference in whole seconds; formatRelativeTime's rule.
std::wstring formatAge(int64_t seconds);
