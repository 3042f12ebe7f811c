// The English texts of times shown in the status panel. Times are local
// wall-clock SYSTEMTIMEs; no time zone is applied anywhere.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/time_text.h"

// 12-hour clock, "3/7/2025 4:05:09 PM".
std::wstring formatTimestamp(const SYSTEMTIME& time);

// Age relative to the current local time: "just now", "5 minutes ago",
// "1h 10m ago", "2 days ago".
std::wstring formatRelativeTime(const SYSTEMTIME& time);

// Whole seconds since 1601; false for a time SystemTimeToFileTime rejects
// (only a hand-edited registry value can hold one).
[[nodiscard]] bool systemTimeToSeconds(const SYSTEMTIME& time, uint64_t& seconds);
