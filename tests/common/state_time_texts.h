// The one table of stored time texts: what the parser reads from each (six
// numbers with scanf rules and no range check) and whether the loader keeps it
// (only a real moment). The unit test asks the parser, the registry test the
// loader.
#pragma once

#include <windows.h>

struct StateTimeText {
    const wchar_t* text;
    bool parsed;
    bool loaded;
    WORD year, month, day, hour, minute, second;  // as parsed
};

inline const StateTimeText kStateTimeTexts[] = {
    {L"2025-03-07T16:05:09", true, true, 2025, 3, 7, 16, 5, 9},
    {L"2025-3-7T4:5:9", true, true, 2025, 3, 7, 4, 5, 9},
    {L"2025-03-07T16:05:09.123Z", true, true, 2025, 3, 7, 16, 5, 9},
    {L"2025-03-07T16:05:09+01:00 and more", true, true, 2025, 3, 7, 16, 5, 9},
    {L"  2025-+03- 07T16:05:09", true, true, 2025, 3, 7, 16, 5, 9},
    {L" 2025-03-07T 16:05:09", true, true, 2025, 3, 7, 16, 5, 9},
    // Read by the pattern but no real moment: absent, like a malformed text.
    {L"2025-13-07T25:61:61", true, false, 2025, 13, 7, 25, 61, 61},
    {L"2025-13-07T16:05:09", true, false, 2025, 13, 7, 16, 5, 9},
    {L"2025-03-07T25:05:09", true, false, 2025, 3, 7, 25, 5, 9},
    {L"2025-03-07T-1:05:09", true, false, 2025, 3, 7, 0xFFFF, 5, 9},
    {L"2025-03-07T16:05", false, false, 0, 0, 0, 0, 0, 0},
    {L"2025-03-07 16:05:09", false, false, 0, 0, 0, 0, 0, 0},
    {L"2025-03-07t16:05:09", false, false, 0, 0, 0, 0, 0, 0},
    {L"2025/03/07T16:05:09", false, false, 0, 0, 0, 0, 0, 0},
    {L"yesterday", false, false, 0, 0, 0, 0, 0, 0},
    {L"", false, false, 0, 0, 0, 0, 0, 0},
    // Out of 16-bit range: refused, not wrapped round to a plausible date.
    {L"67561-65539-07T16:05:09", false, false, 0, 0, 0, 0, 0, 0},
    {L"2025-03-07T16:05:32768", false, false, 0, 0, 0, 0, 0, 0},
    {L"-32768-03-07T16:05:32767", true, false, 0x8000, 3, 7, 16, 5, 32767},
};
