#include "ui/time_format.h"

#include <gtest/gtest.h>

namespace {

SYSTEMTIME makeTime(int year, int month, int day, int hour, int minute, int second, int ms = 0)
{
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    t.wMilliseconds = static_cast<WORD>(ms);
    return t;
}

TEST(FormatCountdown, Table)
{
    const struct {
        int seconds;
        const wchar_t* text;
    } cases[] = {
        {120, L"02:00s"},   {65, L"01:05s"}, {5, L"00:05s"},  {0, L"00:00s"},
        {6000, L"100:00s"}, {59, L"00:59s"}, {60, L"01:00s"}, {-5, L"00:-5s"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatCountdown(c.seconds), c.text) << c.seconds;
}

TEST(FormatTimestamp, TwelveHourClock)
{
    const struct {
        SYSTEMTIME time;
        const wchar_t* text;
    } cases[] = {
        {makeTime(2025, 3, 7, 16, 5, 9), L"3/7/2025 4:05:09 PM"},
        {makeTime(2025, 3, 7, 0, 0, 0), L"3/7/2025 12:00:00 AM"},
        {makeTime(2025, 3, 7, 12, 0, 0), L"3/7/2025 12:00:00 PM"},
        {makeTime(2025, 3, 7, 11, 59, 59), L"3/7/2025 11:59:59 AM"},
        {makeTime(2025, 12, 31, 13, 30, 5), L"12/31/2025 1:30:05 PM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatTimestamp(c.time), c.text);
}

TEST(FormatAge, ThresholdsAreStrict)
{
    const struct {
        long long d;
        const wchar_t* text;
    } cases[] = {
        {-5, L"just now"},       {0, L"just now"},        {59, L"just now"},         {60, L"1 minute ago"},
        {119, L"1 minute ago"},  {120, L"2 minutes ago"}, {3599, L"59 minutes ago"}, {3600, L"1 hour ago"},
        {3659, L"1 hour ago"},   {3660, L"1h 1m ago"},    {7199, L"1h 59m ago"},     {7200, L"2 hours ago"},
        {86399, L"23h 59m ago"}, {86400, L"1 day ago"},   {172799, L"1 day ago"},    {172800, L"2 days ago"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatAge(c.d), c.text) << c.d;
}

TEST(SystemTimeToSeconds, DropsMillisecondsOfEachOperand)
{
    uint64_t earlier = 0, later = 0;
    ASSERT_TRUE(systemTimeToSeconds(makeTime(2025, 3, 7, 10, 0, 0, 900), earlier));
    ASSERT_TRUE(systemTimeToSeconds(makeTime(2025, 3, 7, 10, 1, 0, 100), later));
    EXPECT_EQ(later - earlier, 60u);
    EXPECT_EQ(formatAge(static_cast<int64_t>(later - earlier)), L"1 minute ago");
}

TEST(SystemTimeToSeconds, AcrossMidnightAndRejectedTimes)
{
    uint64_t before = 0, after = 0;
    ASSERT_TRUE(systemTimeToSeconds(makeTime(2025, 3, 7, 23, 59, 59), before));
    ASSERT_TRUE(systemTimeToSeconds(makeTime(2025, 3, 8, 0, 0, 30), after));
    EXPECT_EQ(after - before, 31u);
    uint64_t ignored = 0;
    EXPECT_FALSE(systemTimeToSeconds(makeTime(2025, 13, 7, 10, 0, 0), ignored));
    EXPECT_FALSE(systemTimeToSeconds(makeTime(2025, 3, 7, 25, 0, 0), ignored));
}

TEST(FormatRelativeTime, RecentAndFutureTimesAreJustNow)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    EXPECT_EQ(formatRelativeTime(now), L"just now");
    SYSTEMTIME future = now;
    future.wYear = static_cast<WORD>(now.wYear + 1);
    future.wDay = 1;
    EXPECT_EQ(formatRelativeTime(future), L"just now");
    SYSTEMTIME past = now;
    past.wYear = static_cast<WORD>(now.wYear - 2);
    past.wDay = 1;
    EXPECT_NE(formatRelativeTime(past).find(L"days ago"), std::wstring::npos);
}

SYSTEMTIME secondsBeforeNow(uint64_t seconds)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FILETIME file = {};
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER ticks = {};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart -= seconds * 10000000ULL;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME earlier = {};
    FileTimeToSystemTime(&file, &earlier);
    return earlier;
}

TEST(FormatRelativeTime, AgesAgainstTheLocalClock)
{
    // Each case leaves tens of seconds of slack before its text would change.
    const struct {
        uint64_t seconds;
        const wchar_t* text;
    } cases[] = {
        {5 * 60 + 20, L"5 minutes ago"},
        {2 * 3600 + 20, L"2 hours ago"},
        {3600 + 10 * 60 + 20, L"1h 10m ago"},
        {3 * 86400 + 20, L"3 days ago"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatRelativeTime(secondsBeforeNow(c.seconds)), c.text) << c.seconds;
}

TEST(FormatRelativeTime, TimeTheSystemRejectsHasADefinedText)
{
    EXPECT_EQ(formatRelativeTime(makeTime(2025, 13, 7, 10, 0, 0)), L"just now");
}

}  // namespace
