#include "tests/e2e/journeys.h"

#include "tests/e2e/e2e_screen.h"
#include "tests/e2e/e2e_store.h"
#include "tests/e2e/e2e_wait.h"

#include <gtest/gtest.h>

#include <cwchar>

std::vector<ExpectedControl> controlsOn(const std::vector<PanelControl>& rows, bool inBanner)
{
    std::vector<ExpectedControl> table;
    for (const PanelControl& row : rows)
        if (row.inBanner == inBanner)
            table.push_back(
                {row.id, row.className, row.text, row.style, row.exStyle, row.x, row.y, row.width, row.height});
    return table;
}

std::vector<ExpectedControl> loginPanel(bool signedIn, const wchar_t* host, const wchar_t* user, const wchar_t* key)
{
    return controlsOn(loginPanelLayout(signedIn, host, user, key), false);
}

std::vector<ExpectedControl> statusPanel(bool banner, const wchar_t* user, const wchar_t* host, const wchar_t* ip)
{
    return controlsOn(statusPanelLayout(banner, user, host, ip, nullptr, nullptr), false);
}

std::vector<ExpectedControl> bannerControls()
{
    return controlsOn(statusPanelLayout(true, L"", L"", L"", nullptr, nullptr), true);
}

void seedSignedIn(UpdateService& service, const std::string& address)
{
    service.setAccounts({kAlice, kBob});
    service.setAddress(address);
    service.setRecord(kAlice.hostname, address);
    seedAccount(kAlice.hostname, kAlice.username, kAlice.key);
    seedAutostart(lumarothExePath());
}

HWND startAndSettle(LumarothProcess& app, UpdateService& service)
{
    if (!app.start())
        return nullptr;
    HWND main = app.waitForVisibleWindow(kStartLimitMs);
    if (!main || !service.waitForUpdates(1, kReplyLimitMs))
        return nullptr;
    bool settled = waitUntil(
        [&] {
            std::wstring line = statusLine(main);
            return line.compare(0, 19, L"Recent IP Updates: ") == 0;
        },
        kUiLimitMs);
    return settled ? main : nullptr;
}

void typeAccount(HWND main, const std::wstring& host, const std::wstring& user, const std::wstring& key)
{
    setItemText(main, 4001, host);
    setItemText(main, 4002, user);
    setItemText(main, 4003, key);
}

bool isStatusPanelShown(HWND main)
{
    return GetDlgItem(main, 3030) != nullptr;
}

std::wstring statusLine(HWND main)
{
    return itemText(main, 3030);
}

int countdownSeconds(HWND main)
{
    return countdownSeconds(itemText(main, 3014));
}

int countdownSeconds(const std::wstring& text)
{
    int minutes = 0, seconds = 0;
    wchar_t suffix = 0;
    if (swscanf(text.c_str(), L"%d:%d%lc", &minutes, &seconds, &suffix) != 3 || suffix != L's')
        return -1;
    return minutes * 60 + seconds;
}

void tickDownTo(HWND main, int seconds)
{
    int left = countdownSeconds(main);
    for (int i = 0; i < 200 && left > seconds; ++i) {
        sendTimer(main, 1001);
        const int now = countdownSeconds(main);
        if (now > left)
            return;
        left = now;
    }
}

bool restartedSince(const std::wstring& countdown, ULONGLONG since, int posted)
{
    const int passed = static_cast<int>((GetTickCount64() - since) / 1000);
    const int seconds = countdownSeconds(countdown);
    return seconds <= 120 && seconds >= 120 - posted - passed - 2;
}

bool waitForStatusColour(HWND main, COLORREF colour)
{
    const COLORREF all[] = {kGreen, kBlue, kRed};
    // Glyph cores carry the text colour; edges blend it with the white
    // background, which moves them away from all three state colours.
    return waitUntil(
        [&] {
            HWND line = GetDlgItem(main, 3030);
            if (!line)
                return false;
            ScreenImage image = captureWindow(line);
            for (COLORREF other : all)
                if (other != colour && countPixelsNear(image, other, 40) > 0)
                    return false;
            return countPixelsNear(image, colour, 40) >= 3;
        },
        kUiLimitMs);
}

bool waitForTextColour(HWND control, COLORREF colour)
{
    return waitUntil([&] { return countPixelsNear(captureWindow(control), colour, 40) >= 3; }, kUiLimitMs);
}

void pressTab(HWND main)
{
    pressKey(main, VK_TAB);
}

void pressKey(HWND main, UINT key)
{
    HWND focus = focusOf(main);
    const LPARAM scan = LPARAM(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(focus ? focus : main, WM_KEYDOWN, key, scan | 1);
    PostMessageW(focus ? focus : main, WM_KEYUP, key, scan | 0xC0000001);
}

void typeText(HWND main, const std::wstring& text)
{
    for (wchar_t c : text)
        PostMessageW(focusOf(main), WM_CHAR, c, 1);
}

bool waitForOpenedUrl(const std::wstring& url, DWORD timeoutMs)
{
    std::string wanted = narrow(url) + "\n";
    return waitUntil(
        [&] {
            std::string lines = readWholeFile(L"C:\\opened-urls.txt");
            return lines.find(wanted) != std::string::npos;
        },
        timeoutMs);
}

bool drainPostedMessages(HWND main)
{
    typeAccount(main, L"", L"", L"");
    postClick(main, 4010);
    HWND box = waitForMessageBox(L"Login Error", kUiLimitMs);
    return box && messageBoxText(box) == L"All fields are required." && pressMessageBoxButton(box, IDOK, kUiLimitMs);
}
