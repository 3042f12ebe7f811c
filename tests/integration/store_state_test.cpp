// The state store against the prefix's real registry. Each case starts and
// ends without HKCU\Software\Lumaroth, the state of a first run.
#include "store/state_store.h"

#include "core/app_state.h"
#include "store_test_registry.h"
#include "tests/common/state_time_texts.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const wchar_t* const kStateValues[] = {kValueLastIp, kValueLastTime, kValueIpChangeTime};

ULONGLONG ticksOf(const SYSTEMTIME& time)
{
    FILETIME file = {};
    EXPECT_TRUE(SystemTimeToFileTime(&time, &file));
    return (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

std::wstring timeText(const SYSTEMTIME& time)
{
    wchar_t text[64] = {};
    swprintf(text, 64, L"%04d-%02d-%02dT%02d:%02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
             time.wSecond);
    return text;
}

void expectSameTime(const SYSTEMTIME& expected, const SYSTEMTIME& actual)
{
    EXPECT_EQ(expected.wYear, actual.wYear);
    EXPECT_EQ(expected.wMonth, actual.wMonth);
    EXPECT_EQ(expected.wDayOfWeek, actual.wDayOfWeek);
    EXPECT_EQ(expected.wDay, actual.wDay);
    EXPECT_EQ(expected.wHour, actual.wHour);
    EXPECT_EQ(expected.wMinute, actual.wMinute);
    EXPECT_EQ(expected.wSecond, actual.wSecond);
    EXPECT_EQ(expected.wMilliseconds, actual.wMilliseconds);
}

// loadState over a stale in-memory IP: nothing was loaded and every value
// reads as empty.
void expectNothingLoaded()
{
    appState.lastIp = L"stale";
    loadState();
    EXPECT_EQ(L"", appState.lastIp);
    EXPECT_FALSE(appState.hasLastUpdateTime);
    EXPECT_FALSE(appState.hasIpChangeTime);
    for (const wchar_t* name : kStateValues)
        EXPECT_EQ(L"", readStateValue(name)) << name;
}

class StateStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyW(HKEY_CURRENT_USER, kStateKey);
        appState = AppState();
    }
    void TearDown() override
    {
        RegDeleteKeyW(HKEY_CURRENT_USER, kStateKey);
        appState = AppState();
    }
};

TEST_F(StateStore, FirstRunWithoutKeyLoadsNothing)
{
    ASSERT_FALSE(keyExists(kStateKey));
    expectNothingLoaded();
}

TEST_F(StateStore, SaveThenLoadRoundTrip)
{
    SYSTEMTIME before;
    GetLocalTime(&before);
    saveUpdateState(L"203.0.113.7", true);
    SYSTEMTIME after;
    GetLocalTime(&after);

    // In memory the save keeps the whole local time, milliseconds and day of
    // week included: it must be a real moment between the two readings.
    const SYSTEMTIME saved = appState.lastUpdateTime;
    ASSERT_TRUE(appState.hasLastUpdateTime);
    ASSERT_TRUE(appState.hasIpChangeTime);
    expectSameTime(saved, appState.ipChangeTime);
    EXPECT_LE(ticksOf(before), ticksOf(saved));
    EXPECT_LE(ticksOf(saved), ticksOf(after));
    FILETIME file = {};
    SYSTEMTIME normalised = {};
    ASSERT_TRUE(SystemTimeToFileTime(&saved, &file));
    ASSERT_TRUE(FileTimeToSystemTime(&file, &normalised));
    EXPECT_EQ(normalised.wDayOfWeek, saved.wDayOfWeek);

    appState = AppState();
    loadState();
    EXPECT_EQ(L"203.0.113.7", appState.lastIp);
    SYSTEMTIME expected = saved;
    expected.wDayOfWeek = 0;
    expected.wMilliseconds = 0;
    ASSERT_TRUE(appState.hasLastUpdateTime);
    ASSERT_TRUE(appState.hasIpChangeTime);
    expectSameTime(expected, appState.lastUpdateTime);
    expectSameTime(expected, appState.ipChangeTime);
}

TEST_F(StateStore, StoredBytesAreNulTerminatedUtf16)
{
    saveUpdateState(L"203.0.113.7", true);

    std::optional<RawValue> ip = getRawValue(kStateKey, kValueLastIp);
    ASSERT_TRUE(ip);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), ip->type);
    EXPECT_EQ(bytesOf(L"203.0.113.7"), ip->data);

    const std::wstring text = timeText(appState.lastUpdateTime);
    ASSERT_EQ(19u, text.size());
    for (const wchar_t* name : {kValueLastTime, kValueIpChangeTime}) {
        std::optional<RawValue> time = getRawValue(kStateKey, name);
        ASSERT_TRUE(time) << name;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), time->type) << name;
        EXPECT_EQ(40u, time->data.size()) << name;
        EXPECT_EQ(bytesOf(text), time->data) << name;
    }
}

TEST_F(StateStore, GoodAndNochgWriteTheTimesTheyShould)
{
    const std::vector<BYTE> oldChange = bytesOf(L"2001-02-03T04:05:06");
    const std::vector<BYTE> oldLast = bytesOf(L"2001-02-03T04:05:07");
    struct Case {
        bool ipChanged;
        bool changeTimeRewritten;
    } cases[] = {{true, true}, {false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ipChanged ? "good" : "nochg");
        appState = AppState();
        ASSERT_TRUE(putRawValue(kStateKey, kValueIpChangeTime, REG_SZ, oldChange));
        ASSERT_TRUE(putRawValue(kStateKey, kValueLastTime, REG_SZ, oldLast));

        saveUpdateState(L"198.51.100.2", c.ipChanged);

        std::optional<RawValue> last = getRawValue(kStateKey, kValueLastTime);
        std::optional<RawValue> change = getRawValue(kStateKey, kValueIpChangeTime);
        ASSERT_TRUE(last);
        ASSERT_TRUE(change);
        EXPECT_EQ(bytesOf(timeText(appState.lastUpdateTime)), last->data);
        EXPECT_TRUE(appState.hasLastUpdateTime);
        EXPECT_EQ(c.changeTimeRewritten, appState.hasIpChangeTime);
        if (c.changeTimeRewritten) {
            EXPECT_EQ(last->data, change->data);
            expectSameTime(appState.lastUpdateTime, appState.ipChangeTime);
        } else {
            EXPECT_EQ(oldChange, change->data);
        }
    }
}

TEST_F(StateStore, LoadsStoredTimeTexts)
{
    for (const StateTimeText& c : kStateTimeTexts) {
        SCOPED_TRACE(testing::Message() << "stored text: " << c.text);
        appState = AppState();
        ASSERT_TRUE(putRawValue(kStateKey, kValueLastTime, REG_SZ, bytesOf(c.text)));
        ASSERT_TRUE(putRawValue(kStateKey, kValueIpChangeTime, REG_SZ, bytesOf(c.text)));
        loadState();
        EXPECT_EQ(c.loaded, appState.hasLastUpdateTime);
        EXPECT_EQ(c.loaded, appState.hasIpChangeTime);
        SYSTEMTIME expected = {};
        if (c.loaded) {
            expected.wYear = c.year;
            expected.wMonth = c.month;
            expected.wDay = c.day;
            expected.wHour = c.hour;
            expected.wMinute = c.minute;
            expected.wSecond = c.second;
        }
        expectSameTime(expected, appState.lastUpdateTime);
        expectSameTime(expected, appState.ipChangeTime);
    }
}

TEST_F(StateStore, ValuesOfAnotherTypeReadAsEmpty)
{
    const RawValueCase cases[] = {
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, bytesOf(L"2025-03-07T16:05:09")},
        {"REG_MULTI_SZ", REG_MULTI_SZ, bytesOf(std::wstring(L"2025-03-07T16:05:09\0", 20))},
        {"REG_DWORD", REG_DWORD, bytesOf(DWORD(20250307))},
        {"REG_BINARY", REG_BINARY, bytesOf(L"2025-03-07T16:05:09")},
    };
    for (const RawValueCase& c : cases) {
        SCOPED_TRACE(c.label);
        for (const wchar_t* name : kStateValues)
            ASSERT_TRUE(putRawValue(kStateKey, name, c.type, c.data));
        appState = AppState();
        expectNothingLoaded();
    }
}

TEST_F(StateStore, ReadsTextWithinTheBufferOnly)
{
    const std::wstring fits(1023, L'7');
    const std::wstring full(1024, L'8');
    struct Case {
        const char* label;
        std::vector<BYTE> data;
        std::wstring expected;
    } cases[] = {
        {"1023 characters and NUL, 2048 bytes", bytesOf(fits), fits},
        {"1024 characters and NUL, 2050 bytes", bytesOf(full), L""},
        {"1024 characters without NUL, 2048 bytes", bytesOf(full, false), full},
        {"far over the buffer", bytesOf(std::wstring(5000, L'9')), L""},
        {"text, NUL, more text", bytesOf(std::wstring(L"10.0.0.1\0junk", 13)), L"10.0.0.1"},
        {"odd byte count", std::vector<BYTE>{'1', 0, '0', 0, '.'}, L"10"},
        {"no data at all", std::vector<BYTE>(), L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(putRawValue(kStateKey, kValueLastIp, REG_SZ, c.data));
        EXPECT_EQ(c.expected, readStateValue(kValueLastIp));
    }
}

TEST_F(StateStore, EmptyIpIsStoredAsNulAloneAndLoadsEmpty)
{
    saveUpdateState(L"", true);
    std::optional<RawValue> ip = getRawValue(kStateKey, kValueLastIp);
    ASSERT_TRUE(ip);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), ip->type);
    EXPECT_EQ((std::vector<BYTE>{0, 0}), ip->data);

    appState.lastIp = L"stale";
    loadState();
    EXPECT_EQ(L"", appState.lastIp);
    EXPECT_TRUE(appState.hasLastUpdateTime);
}

TEST_F(StateStore, DeleteRemovesTheThreeValuesAndKeepsTheKey)
{
    saveUpdateState(L"203.0.113.7", true);
    for (const wchar_t* name : kStateValues)
        ASSERT_TRUE(getRawValue(kStateKey, name)) << name;

    deleteStateValues();

    EXPECT_TRUE(keyExists(kStateKey));
    for (const wchar_t* name : kStateValues)
        EXPECT_FALSE(getRawValue(kStateKey, name)) << name;

    // Without the key there is nothing to delete, and nothing is created.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, kStateKey));
    deleteStateValues();
    EXPECT_FALSE(keyExists(kStateKey));
}

// A value name longer than the registry takes (16383 characters) is refused:
// the refusal comes back, no value appears.
TEST_F(StateStore, WriteTheRegistryRefusesIsReported)
{
    const std::wstring tooLong(20000, L'n');
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), writeStateValue(tooLong.c_str(), L"203.0.113.7"));
    EXPECT_FALSE(getRawValue(kStateKey, tooLong.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), writeStateValue(kValueLastIp, L"203.0.113.7"));
    EXPECT_EQ(L"203.0.113.7", readStateValue(kValueLastIp));
}

}  // namespace
