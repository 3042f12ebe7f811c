// The stored time text is read with scanf rules and no range check; whether a
// time is a real moment is the loader's question, not the parser's.
#include "store/state_store.h"

#include "tests/common/state_time_texts.h"

#include <gtest/gtest.h>

namespace {

TEST(StateTimeParse, ReadsSixNumbersWithScanfRules)
{
    for (const StateTimeText& c : kStateTimeTexts) {
        SCOPED_TRACE(testing::Message() << "text: " << c.text);
        std::optional<SYSTEMTIME> time = parseStateTime(c.text);
        ASSERT_EQ(c.parsed, time.has_value());
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

}  // namespace
