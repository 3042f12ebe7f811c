// What the program keeps between runs, read and seeded through the same
// registry and credential manager of the journey's prefix (the tests' one
// registry and credential helper), and the time texts the journeys compare.
#pragma once

#include "tests/common/external_names.h"
#include "tests/common/registry.h"

#include <windows.h>

#include <string>

// --- Times ------------------------------------------------------------------
// "%04d-%02d-%02dT%02d:%02d:%02d", the registry's time text.
std::wstring stateTimeText(const SYSTEMTIME& time);
bool parseStateTime(const std::wstring& text, SYSTEMTIME* time);
// Local time secondsAgo seconds before now.
SYSTEMTIME localTimeAgo(long long secondsAgo);
// "M/D/YYYY h:mm:ss AM", the status line's timestamp.
std::wstring timestampText(const SYSTEMTIME& time);
