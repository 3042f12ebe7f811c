#include "ui/status_texts.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kDash[] = L"\u2014";
const SYSTEMTIME kUpdated = {2025, 3, 5, 7, 16, 5, 9, 0};  // 7 March 2025, 16:05:09

enum Times { NoTimes, UpdateOnly, Both };

struct State {
    UpdateStatus status;
    const wchar_t* errorText;
    Times times;
};

void setState(const State& s)
{
    appState = AppState();
    appState.hostname = L"home.example.net";
    appState.username = L"alice";
    appState.updateKey = L"key";
    appState.updateStatus = s.status;
    appState.errorText = s.errorText;
    if (s.times != NoTimes) {
        appState.hasLastUpdateTime = true;
        appState.lastUpdateTime = kUpdated;
    }
    if (s.times == Both) {
        appState.hasIpChangeTime = true;
        GetLocalTime(&appState.ipChangeTime);
    }
}

class StatusTexts : public testing::Test {
protected:
    void TearDown() override { appState = AppState(); }
};

TEST_F(StatusTexts, StatusLineByFirstMatchingRule)
{
    const std::wstring recentAge = L"Recent IP Updates: just now";
    const std::wstring recentTime = L"Recent IP Updates: 3/7/2025 4:05:09 PM";
    const std::wstring updated = L"Updated: 3/7/2025 4:05:09 PM";
    const struct {
        State state;
        std::wstring initial, refreshed;
        const wchar_t* ticked;  // null: the tick leaves the line alone
    } cases[] = {
        {{UpdateStatus::Failed, L"Invalid username or key.", Both},
         L"Invalid username or key.",
         L"Invalid username or key.",
         nullptr},
        // Failed without a message falls through to the time rules.
        {{UpdateStatus::Failed, L"", Both}, updated, recentAge, nullptr},
        {{UpdateStatus::Failed, L"", NoTimes}, L"Ready", L"Ready", nullptr},
        {{UpdateStatus::Updating, L"old error", Both}, L"Updating...", L"Updating...", nullptr},
        {{UpdateStatus::Succeeded, L"", Both}, updated, recentAge, L"Recent IP Updates: just now"},
        {{UpdateStatus::Succeeded, L"", UpdateOnly}, updated, recentTime, nullptr},
        {{UpdateStatus::Idle, L"", NoTimes}, L"Ready", L"Ready", nullptr},
        {{UpdateStatus::Idle, L"", Both}, updated, recentAge, L"Recent IP Updates: just now"},
    };
    for (const auto& c : cases) {
        setState(c.state);
        SCOPED_TRACE(testing::Message() << "status " << static_cast<int>(c.state.status) << " times " << c.state.times);
        EXPECT_EQ(initialStatusLineText(), c.initial);
        EXPECT_EQ(refreshedStatusLineText(), c.refreshed);
        std::wstring ticked = L"unchanged";
        EXPECT_EQ(tickedStatusLineText(ticked), c.ticked != nullptr);
        EXPECT_EQ(ticked, c.ticked ? c.ticked : L"unchanged");
    }
}

TEST_F(StatusTexts, AgeOfAnOlderIpChange)
{
    setState({UpdateStatus::Succeeded, L"", Both});
    FILETIME now = {};
    SystemTimeToFileTime(&appState.ipChangeTime, &now);
    ULARGE_INTEGER ticks = {};
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    ticks.QuadPart -= 5ULL * 60 * 10000000;  // five minutes earlier
    FILETIME earlier = {ticks.LowPart, ticks.HighPart};
    FileTimeToSystemTime(&earlier, &appState.ipChangeTime);
    EXPECT_EQ(refreshedStatusLineText(), L"Recent IP Updates: 5 minutes ago");
}

TEST_F(StatusTexts, FieldsShowPlaceholderWithoutCompleteAccount)
{
    const struct {
        const wchar_t *host, *user, *key;
        UpdateStatus status;
        const wchar_t* lastIp;
        const wchar_t *userText, *hostText, *ipText, *countdown;
    } cases[] = {
        {L"h.example.net", L"alice", L"k", UpdateStatus::Idle, L"", L"alice", L"h.example.net", kDash, L"02:00s"},
        {L"h.example.net", L"alice", L"k", UpdateStatus::Succeeded, L"192.0.2.4", L"alice", L"h.example.net",
         L"192.0.2.4", L"02:00s"},
        {L"h.example.net", L"alice", L"k", UpdateStatus::Updating, L"192.0.2.4", L"alice", L"h.example.net",
         L"Checking...", L"02:00s"},
        {L"h.example.net", L"alice", L"", UpdateStatus::Idle, L"192.0.2.4", kDash, kDash, L"192.0.2.4", kDash},
        {L"", L"", L"", UpdateStatus::Idle, L"", kDash, kDash, kDash, kDash},
    };
    for (const auto& c : cases) {
        appState = AppState();
        appState.hostname = c.host;
        appState.username = c.user;
        appState.updateKey = c.key;
        appState.updateStatus = c.status;
        appState.lastIp = c.lastIp;
        EXPECT_EQ(usernameText(), c.userText);
        EXPECT_EQ(hostnameText(), c.hostText);
        EXPECT_EQ(ipText(), c.ipText);
        EXPECT_EQ(countdownText(), c.countdown);
    }
}

TEST_F(StatusTexts, StatusLineColourByUpdateState)
{
    const struct {
        UpdateStatus status;
        COLORREF color;
    } cases[] = {
        {UpdateStatus::Idle, RGB(0x2E, 0x7D, 0x32)},
        {UpdateStatus::Updating, RGB(0x15, 0x65, 0xC0)},
        {UpdateStatus::Succeeded, RGB(0x2E, 0x7D, 0x32)},
        {UpdateStatus::Failed, RGB(0xC6, 0x28, 0x28)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statusLineColor(c.status), c.color) << static_cast<int>(c.status);
}

}  // namespace
