// Re-texting the status panel on a real window: what refreshStatusPanel and
// tickStatusPanel change, and what they leave alone.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/integration/ui_test_window.h"
#include "ui/login_panel.h"
#include "ui/status_panel.h"
#include "ui/status_refresh.h"

using namespace uitest;

namespace {

const wchar_t kDash[] = L"\u2014";

class UiRefresh : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window = createStandInWindow();
    }

    std::vector<std::wstring> allTexts() const
    {
        std::vector<std::wstring> texts;
        for (HWND c : childrenOf(window))
            texts.push_back(windowText(c));
        return texts;
    }
};

TEST_F(UiRefresh, RefreshFollowsTheUpdateCycle)
{
    applyScenario({true, true, UpdateStatus::Idle, L"192.0.2.1", L""});
    showStatusPanel(window);
    SetWindowTextW(child(IDC_VALUE_NEXT_CHECK), L"01:23s");
    const struct {
        UpdateStatus status;
        const wchar_t* error;
        bool ipChanged;
        const wchar_t *ip, *button, *line;
        bool enabled;
        bool inFlight = false;
    } steps[] = {
        {UpdateStatus::Updating, L"", false, L"Checking...", L"Updating...", L"Updating...", false, true},
        {UpdateStatus::Succeeded, L"", true, L"192.0.2.1", L"Update IP", L"Recent IP Updates: just now", true},
        {UpdateStatus::Updating, L"", true, L"Checking...", L"Updating...", L"Updating...", false, true},
        // The connection lost while the update runs: a press could not start one.
        {UpdateStatus::Failed, L"No network connection", true, L"192.0.2.1", L"Update IP", L"No network connection",
         false, true},
        {UpdateStatus::Failed, L"No network connection", true, L"192.0.2.1", L"Update IP", L"No network connection",
         true},
        {UpdateStatus::Failed, L"", false, L"192.0.2.1", L"Update IP", L"Ready", true},
    };
    for (const auto& s : steps) {
        appState.updateStatus = s.status;
        appState.updateInFlight = s.inFlight;
        appState.errorText = s.error;
        appState.hasIpChangeTime = s.ipChanged;
        GetLocalTime(&appState.ipChangeTime);
        refreshStatusPanel();
        SCOPED_TRACE(testing::Message() << "status " << static_cast<int>(s.status));
        EXPECT_EQ(windowText(child(IDC_VALUE_USERNAME)), L"alice");
        EXPECT_EQ(windowText(child(IDC_VALUE_HOSTNAME)), L"home.example.net");
        EXPECT_EQ(windowText(child(IDC_VALUE_IP)), s.ip);
        EXPECT_EQ(windowText(child(IDC_UPDATE_IP)), s.button);
        EXPECT_EQ(IsWindowEnabled(child(IDC_UPDATE_IP)) != FALSE, s.enabled);
        EXPECT_EQ(windowText(child(IDC_STATUS_LINE)), s.line);
        EXPECT_EQ(windowText(child(IDC_VALUE_NEXT_CHECK)), L"01:23s");  // the refresh never touches it
    }
}

TEST_F(UiRefresh, SignedOutShowsPlaceholdersAndDisablesUpdate)
{
    applyScenario({true, true, UpdateStatus::Succeeded, L"192.0.2.1", L""});
    showStatusPanel(window);
    appState.hostname.clear();
    appState.updateStatus = UpdateStatus::Idle;
    refreshStatusPanel();
    EXPECT_EQ(windowText(child(IDC_VALUE_USERNAME)), kDash);
    EXPECT_EQ(windowText(child(IDC_VALUE_HOSTNAME)), kDash);
    EXPECT_FALSE(IsWindowEnabled(child(IDC_UPDATE_IP)));
    appState.secondsToNextCheck = 7;
    tickStatusPanel();
    EXPECT_EQ(windowText(child(IDC_VALUE_NEXT_CHECK)), L"02:00s");  // keeps what it showed
}

TEST_F(UiRefresh, TickRetextsCountdownAndAge)
{
    applyScenario({true, true, UpdateStatus::Succeeded, L"192.0.2.1", L""});
    appState.hasLastUpdateTime = true;
    GetLocalTime(&appState.lastUpdateTime);
    showStatusPanel(window);
    const std::wstring updated = windowText(child(IDC_STATUS_LINE));
    EXPECT_EQ(updated.rfind(L"Updated: ", 0), 0u);

    const struct {
        int seconds;
        UpdateStatus status;
        bool ipChanged;
        const wchar_t *countdown, *line;
    } ticks[] = {
        {65, UpdateStatus::Succeeded, false, L"01:05s", nullptr},  // only the update time: line kept
        {0, UpdateStatus::Succeeded, true, L"00:00s", L"Recent IP Updates: just now"},
        {120, UpdateStatus::Updating, true, L"02:00s", L"Updating..."},
        {119, UpdateStatus::Failed, true, L"01:59s", L"Invalid username or key."},
    };
    for (const auto& t : ticks) {
        appState.secondsToNextCheck = t.seconds;
        appState.updateStatus = t.status;
        appState.hasIpChangeTime = t.ipChanged;
        GetLocalTime(&appState.ipChangeTime);
        const std::wstring before = windowText(child(IDC_STATUS_LINE));
        if (t.status == UpdateStatus::Updating || t.status == UpdateStatus::Failed) {
            SetWindowTextW(child(IDC_STATUS_LINE), t.line);
        }
        tickStatusPanel();
        EXPECT_EQ(windowText(child(IDC_VALUE_NEXT_CHECK)), t.countdown);
        EXPECT_EQ(windowText(child(IDC_STATUS_LINE)), t.line ? t.line : before.c_str()) << t.seconds;
    }
}

TEST_F(UiRefresh, NothingChangesWhileLoginPanelIsShown)
{
    applyScenario({true, true, UpdateStatus::Succeeded, L"192.0.2.1", L""});
    showLoginPanel(window);
    const std::vector<std::wstring> before = allTexts();
    appState.updateStatus = UpdateStatus::Updating;
    appState.secondsToNextCheck = 3;
    refreshStatusPanel();
    tickStatusPanel();
    EXPECT_EQ(allTexts(), before);
}

TEST_F(UiRefresh, HarmlessBeforeAnyPanelExists)
{
    applyScenario({true, true, UpdateStatus::Updating, L"", L""});
    refreshStatusPanel();
    tickStatusPanel();
    EXPECT_TRUE(childrenOf(window).empty());
}

}  // namespace
