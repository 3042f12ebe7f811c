#include "tests/e2e/journeys.h"

#include "tests/e2e/e2e_screen.h"
#include "tests/e2e/e2e_store.h"
#include "tests/e2e/e2e_wait.h"

#include <gtest/gtest.h>

#include <cwchar>

std::vector<ExpectedControl> loginPanel(bool signedIn, const wchar_t* host, const wchar_t* user, const wchar_t* key)
{
    std::vector<ExpectedControl> table;
    table.push_back({5002, L"Static", L"Login", 0, 0, 12, 10, 120, 20});
    if (signedIn)
        table.push_back({3022, L"Button", L"Logout", WS_TABSTOP, 0, 394, 8, 64, 22});
    table.push_back({0, L"Static", L"Hostname:", SS_RIGHT, 0, 87, 56, 70, 18});
    table.push_back({4001, L"Edit", host, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 163, 53, 220, 22});
    table.push_back({0, L"Static", L"Username:", SS_RIGHT, 0, 87, 91, 70, 18});
    table.push_back({4002, L"Edit", user, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 163, 88, 220, 22});
    table.push_back({0, L"Static", L"Key:", SS_RIGHT, 0, 87, 126, 70, 18});
    table.push_back({4003, L"Edit", key, WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE, 163, 123, 220, 22});
    if (signedIn) {
        table.push_back({4010, L"Button", L"Login", WS_TABSTOP, 0, 140, 205, 90, 26});
        table.push_back({4011, L"Button", L"Cancel", WS_TABSTOP, 0, 240, 205, 90, 26});
    } else {
        table.push_back({4010, L"Button", L"Login", WS_TABSTOP, 0, 190, 205, 90, 26});
    }
    table.push_back({0, L"LumarothFrame", L"", 0, WS_EX_TRANSPARENT, 75, 43, 320, 158});
    return table;
}

std::vector<ExpectedControl> statusPanel(bool banner, const wchar_t* user, const wchar_t* host, const wchar_t* ip)
{
    const int b = banner ? 40 : 0;
    std::vector<ExpectedControl> table;
    table.push_back({5001, L"Static", L"Status", 0, 0, 12, 10, 120, 20});
    table.push_back({6001, L"Button", L"About", WS_TABSTOP, 0, 400, 7, 58, 22});
    if (banner)
        table.push_back({0, L"LumarothAlert", L"", 0, 0, 11, 46, 448, 38});
    table.push_back({3001, L"Static", L"Username:", SS_RIGHT, 0, 94, 53 + b, 86, 20});
    table.push_back({3002, L"Static", L"Hostname:", SS_RIGHT, 0, 94, 82 + b, 86, 20});
    table.push_back({3003, L"Static", L"IP:", SS_RIGHT, 0, 94, 111 + b, 86, 20});
    table.push_back({3004, L"Static", L"Next Check:", SS_RIGHT, 0, 94, 140 + b, 86, 20});
    table.push_back({3011, L"Static", user, SS_NOPREFIX, 0, 185, 53 + b, 190, 20});
    table.push_back({3012, L"Static", host, SS_NOPREFIX, 0, 185, 82 + b, 190, 20});
    table.push_back({3013, L"Static", ip, SS_NOPREFIX, 0, 185, 111 + b, 190, 20});
    table.push_back({3014, L"Static", nullptr, 0, 0, 185, 140 + b, 190, 20});
    table.push_back({3020, L"Button", L"Update IP", WS_TABSTOP, 0, 144, 172 + b, 88, 26});
    table.push_back({3021, L"Button", L"Edit Host", WS_TABSTOP, 0, 237, 172 + b, 88, 26});
    table.push_back({3030, L"Static", nullptr, SS_NOPREFIX, 0, 12, 222 + b, 280, 18});
    table.push_back({3031, L"Static", kWebsite, SS_NOTIFY | SS_RIGHT | WS_TABSTOP, 0, 298, 222 + b, 160, 18});
    table.push_back({0, L"LumarothFrame", L"", 0, WS_EX_TRANSPARENT, 10, 45, 450, 161 + b});
    return table;
}

std::vector<ExpectedControl> bannerControls()
{
    return {
        {7001, L"Static", L"\x26A0  Lumaroth is not set to run at Windows startup.", 0, 0, 10, 11, 310, 18},
        {7002, L"Button", L"Enable now", WS_TABSTOP, 0, 362, 7, 80, 24},
    };
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
    bool settled = waitUntil([&] {
        std::wstring line = statusLine(main);
        return line.compare(0, 19, L"Recent IP Updates: ") == 0;
    }, kUiLimitMs);
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
    int minutes = 0, seconds = 0;
    wchar_t suffix = 0;
    std::wstring text = itemText(main, 3014);
    if (swscanf(text.c_str(), L"%d:%d%lc", &minutes, &seconds, &suffix) != 3 || suffix != L's')
        return -1;
    return minutes * 60 + seconds;
}

void tickDownTo(HWND main, int seconds)
{
    for (int i = 0; i < 200 && countdownSeconds(main) > seconds; ++i)
        sendTimer(main, 1001);
}

bool waitForStatusColour(HWND main, COLORREF colour)
{
    const COLORREF all[] = {kGreen, kBlue, kRed};
    // Glyph cores carry the text colour; edges blend it with the white
    // background, which moves them away from all three state colours.
    return waitUntil([&] {
        HWND line = GetDlgItem(main, 3030);
        if (!line)
            return false;
        ScreenImage image = captureWindow(line);
        for (COLORREF other : all)
            if (other != colour && countPixelsNear(image, other, 40) > 0)
                return false;
        return countPixelsNear(image, colour, 40) >= 3;
    }, kUiLimitMs);
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
    return waitUntil([&] {
        std::string lines = readWholeFile(L"C:\\opened-urls.txt");
        return lines.find(wanted) != std::string::npos;
    }, timeoutMs);
}

bool drainPostedMessages(HWND main)
{
    typeAccount(main, L"", L"", L"");
    postClick(main, 4010);
    HWND box = waitForMessageBox(L"Login Error", kUiLimitMs);
    return box && messageBoxText(box) == L"All fields are required." &&
           pressMessageBoxButton(box, IDOK, kUiLimitMs);
}
