// The stored time text is read with scanf rules and no range check; whether a
// time is a real moment is the loader's question, not the parser's.
#include "store/state_store.h"

#include <gtest/gtest.h>

namespace {

TEST(StateTimeParse, ReadsSixNumbersWithScanfRules)
{
    struct Case {
        const wchar_t* text;
        bool valid;
        WORD year, month, day, hour, minute, second;
    } cases[] = {
        {L"2025-03-07T16:05:09", true, 2025, 3, 7, 16, 5, 9},
        {L"2025-3-7T4:5:9", true, 2025, 3, 7, 4, 5, 9},
        {L"2025-03-07T16:05:09.123Z", true, 2025, 3, 7, 16, 5, 9},
        {L"  2025-+03- 07T16:05:09", true, 2025, 3, 7, 16, 5, 9},
        {L"2025-13-07T25:61:61", true, 2025, 13, 7, 25, 61, 61},
        {L"2025-03-07T-1:05:09", true, 2025, 3, 7, 0xFFFF, 5, 9},
        {L"2025-03-07T16:05", false, 0, 0, 0, 0, 0, 0},
        {L"2025-03-07t16:05:09", false, 0, 0, 0, 0, 0, 0},
        {L"2025/03/07T16:05:09", false, 0, 0, 0, 0, 0, 0},
        {L"", false, 0, 0, 0, 0, 0, 0},
        // Out of 16-bit range: refused, not wrapped round to a plausible date.
        {L"67561-65539-07T16:05:09", false, 0, 0, 0, 0, 0, 0},
        {L"2025-03-07T16:05:32768", false, 0, 0, 0, 0, 0, 0},
        {L"-32768-03-07T16:05:32767", true, 0x8000, 3, 7, 16, 5, 32767},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text: " << c.text);
        std::optional<SYSTEMTIME> time = parseStateTime(c.text);
        ASSERT_EQ(c.valid, time.has_value());
        if (!time)
            continue;
        EXPECT_EQ(c.year, time->wYear);
        EXPECT_EQ(c.month, time->wMonth);
        EXPECT_EQ(c.day, time->wDay);
        EXPECT_EQ(c.hour, time->wHour);
        EXPECT_EQ(c.minute, time->wMinute);
        EXPECT_EQ(c.second, time->wSecond);
        EXPECT_EQ(0, time->wDayOfWeek);
        EXPECT_EQ(0, time->wMilliseconds);
    }
}

} // namespace
