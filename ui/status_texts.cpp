#include "ui/status_texts.h"

#include "ui/time_format.h"
#include "ui/window_constants.h"

namespace {

// A value field with nothing to show: U+2014 EM DASH.
constexpr wchar_t kPlaceholder[] = L"\u2014";
constexpr unsigned long kColorStatusFailed = rgbColor(0xC6, 0x28, 0x28);
constexpr unsigned long kColorStatusUpdating = rgbColor(0x15, 0x65, 0xC0);
constexpr unsigned long kColorStatusOk = rgbColor(0x2E, 0x7D, 0x32);

const wchar_t kRecentPrefix[] = L"Recent IP Updates: ";

bool showsError()
{
    return appState.updateStatus == UpdateStatus::Failed && !appState.errorText.empty();
}

// The two lines differ only once the cycle is idle: right after the panel is
// built the line names the last update; after a refresh it prefers the age of
// the last IP change.
std::wstring statusLineText(bool refreshed)
{
    if (showsError())
        return appState.errorText;
    if (appState.updateStatus == UpdateStatus::Updating)
        return L"Updating...";
    if (refreshed && appState.hasIpChangeTime)
        return kRecentPrefix + formatRelativeTime(appState.ipChangeTime);
    if (appState.hasLastUpdateTime)
        return (refreshed ? kRecentPrefix : L"Updated: ") + formatTimestamp(appState.lastUpdateTime);
    return L"Ready";
}

}  // namespace

std::wstring usernameText()
{
    return isSignedIn() ? appState.username : kPlaceholder;
}

std::wstring hostnameText()
{
    return isSignedIn() ? appState.hostname : kPlaceholder;
}

std::wstring ipText()
{
    if (appState.updateStatus == UpdateStatus::Updating)
        return L"Checking...";
    return appState.lastIp.empty() ? kPlaceholder : appState.lastIp;
}

std::wstring countdownText()
{
    return isSignedIn() ? formatCountdown(appState.secondsToNextCheck) : kPlaceholder;
}

std::wstring initialStatusLineText()
{
    return statusLineText(false);
}

std::wstring refreshedStatusLineText()
{
    return statusLineText(true);
}

bool tickedStatusLineText(std::wstring& text)
{
    if (!appState.hasIpChangeTime || appState.updateStatus == UpdateStatus::Updating ||
        appState.updateStatus == UpdateStatus::Failed)
        return false;
    text = kRecentPrefix + formatRelativeTime(appState.ipChangeTime);
    return true;
}

unsigned long statusLineColor(UpdateStatus status)
{
    switch (status) {
    case UpdateStatus::Failed:
        return kColorStatusFailed;
    case UpdateStatus::Updating:
        return kColorStatusUpdating;
    default:
        return kColorStatusOk;
    }
}
