// The two panels of the main window and the About window as designed: every
// control in creation order with its id, class, text, styles, 96-DPI
// rectangle and font. The integration tests compare them with windows built
// in process (fonts included, at every display scale), the journeys with the
// running program's windows.
// Ids are the numbers the program's windows carry, written out so that a
// changed id in res/resource.h is caught too.
#pragma once

#include <windows.h>

#include <vector>

enum class PanelFont { None, Heading, Body, Small, Link };

struct PanelControl {
    int id;         // 0: no id
    bool inBanner;  // child of the autostart banner rather than the main window
    const wchar_t* className;
    const wchar_t* text;  // null: not compared
    DWORD style;          // beyond WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    int x, y, width, height;
    PanelFont font;
};

inline constexpr wchar_t kPanelWebsite[] = L"https://www.vexlumen.net/";
inline constexpr wchar_t kPanelBannerText[] = L"\u26A0  Lumaroth is not set to run at Windows startup.";

// The status panel with or without the autostart banner (the banner's two
// controls are its children, listed after it).
inline std::vector<PanelControl> statusPanelLayout(bool banner, const wchar_t* user, const wchar_t* host,
                                                   const wchar_t* ip, const wchar_t* next, const wchar_t* line)
{
    const int b = banner ? 40 : 0;
    using F = PanelFont;
    std::vector<PanelControl> rows = {
        {5001, false, L"Static", L"Status", 0, 0, 12, 10, 120, 20, F::Heading},
        {6001, false, L"Button", L"About", WS_TABSTOP, 0, 400, 7, 58, 22, F::Small},
    };
    if (banner) {
        rows.push_back({0, false, L"LumarothAlert", L"", 0, WS_EX_CONTROLPARENT, 11, 46, 448, 38, F::None});
        rows.push_back({7001, true, L"Static", kPanelBannerText, 0, 0, 10, 11, 310, 18, F::Small});
        rows.push_back({7002, true, L"Button", L"Enable now", WS_TABSTOP, 0, 362, 7, 80, 24, F::Small});
    }
    const std::vector<PanelControl> rest = {
        {3001, false, L"Static", L"Username:", SS_RIGHT, 0, 94, 53 + b, 86, 20, F::Heading},
        {3002, false, L"Static", L"Hostname:", SS_RIGHT, 0, 94, 82 + b, 86, 20, F::Heading},
        {3003, false, L"Static", L"IP:", SS_RIGHT, 0, 94, 111 + b, 86, 20, F::Heading},
        {3004, false, L"Static", L"Next Check:", SS_RIGHT, 0, 94, 140 + b, 86, 20, F::Heading},
        {3011, false, L"Static", user, SS_NOPREFIX | SS_ENDELLIPSIS, 0, 185, 53 + b, 190, 20, F::Body},
        {3012, false, L"Static", host, SS_NOPREFIX | SS_ENDELLIPSIS, 0, 185, 82 + b, 190, 20, F::Body},
        {3013, false, L"Static", ip, SS_NOPREFIX | SS_ENDELLIPSIS, 0, 185, 111 + b, 190, 20, F::Body},
        {3014, false, L"Static", next, 0, 0, 185, 140 + b, 190, 20, F::Body},
        {3020, false, L"Button", L"Update IP", WS_TABSTOP, 0, 144, 172 + b, 88, 26, F::Heading},
        {3021, false, L"Button", L"Edit Host", WS_TABSTOP, 0, 237, 172 + b, 88, 26, F::Heading},
        {3030, false, L"Static", line, SS_NOPREFIX, 0, 12, 222 + b, 280, 18, F::Small},
        {3031, false, L"Static", kPanelWebsite, SS_NOTIFY | SS_RIGHT | WS_TABSTOP, 0, 298, 222 + b, 160, 18, F::Link},
        {0, false, L"LumarothFrame", L"", 0, WS_EX_TRANSPARENT, 10, 45, 450, 161 + b, F::None},
    };
    rows.insert(rows.end(), rest.begin(), rest.end());
    return rows;
}

// The login panel without an account (one "Login") or while signed in
// ("Logout", "Login", "Cancel"), with the texts of its three fields.
inline std::vector<PanelControl> loginPanelLayout(bool signedIn, const wchar_t* host, const wchar_t* user,
                                                  const wchar_t* key)
{
    const DWORD field = WS_TABSTOP | ES_AUTOHSCROLL;
    using F = PanelFont;
    std::vector<PanelControl> rows = {{5002, false, L"Static", L"Login", 0, 0, 12, 10, 120, 20, F::Heading}};
    if (signedIn)
        rows.push_back({3022, false, L"Button", L"Logout", WS_TABSTOP, 0, 394, 8, 64, 22, F::Small});
    const std::vector<PanelControl> fields = {
        {0, false, L"Static", L"Hostname:", SS_RIGHT, 0, 87, 56, 70, 18, F::Body},
        {4001, false, L"Edit", host, field, WS_EX_CLIENTEDGE, 163, 53, 220, 22, F::Body},
        {0, false, L"Static", L"Username:", SS_RIGHT, 0, 87, 91, 70, 18, F::Body},
        {4002, false, L"Edit", user, field, WS_EX_CLIENTEDGE, 163, 88, 220, 22, F::Body},
        {0, false, L"Static", L"Key:", SS_RIGHT, 0, 87, 126, 70, 18, F::Body},
        {4003, false, L"Edit", key, field | ES_PASSWORD, WS_EX_CLIENTEDGE, 163, 123, 220, 22, F::Body},
    };
    rows.insert(rows.end(), fields.begin(), fields.end());
    if (signedIn) {
        rows.push_back({4010, false, L"Button", L"Login", WS_TABSTOP, 0, 140, 205, 90, 26, F::Body});
        rows.push_back({4011, false, L"Button", L"Cancel", WS_TABSTOP, 0, 240, 205, 90, 26, F::Body});
    } else {
        rows.push_back({4010, false, L"Button", L"Login", WS_TABSTOP, 0, 190, 205, 90, 26, F::Body});
    }
    rows.push_back({0, false, L"LumarothFrame", L"", 0, WS_EX_TRANSPARENT, 75, 43, 320, 158, F::None});
    return rows;
}

// The About window's controls (all on the window itself).
inline std::vector<PanelControl> aboutWindowLayout()
{
    const DWORD body = SS_CENTER | SS_NOPREFIX;  // shown as written: "&" is no mnemonic marker
    using F = PanelFont;
    return {
        {0, false, L"Static", L"", SS_ICON | SS_CENTERIMAGE, 0, 156, 18, 48, 48, F::None},
        {0, false, L"Static", L"Lumaroth Client", SS_CENTER, 0, 10, 72, 340, 24, F::Heading},
        {0, false, L"Static", L"Version 2.0.1", SS_CENTER, 0, 10, 98, 340, 18, F::Body},
        {0, false, L"Static", L"Vexlumen \u2014 Free Dynamic DNS Service", body, 0, 10, 128, 340, 17, F::Small},
        {0, false, L"Static", L"", body, 0, 10, 145, 340, 17, F::Small},
        {0, false, L"Static", L"Automatically keeps your domain pointed to your", body, 0, 10, 162, 340, 17, F::Small},
        {0, false, L"Static", L"dynamic IP address \u2014 fast and reliable.", body, 0, 10, 179, 340, 17, F::Small},
        {0, false, L"Static", L"", body, 0, 10, 196, 340, 17, F::Small},
        {0, false, L"Static", L"Supports Windows XP SP3 and above.", body, 0, 10, 213, 340, 17, F::Small},
        {0, false, L"Static", L"", body, 0, 10, 230, 340, 17, F::Small},
        {0, false, L"Static", L"\u00A9 2026 Vexlumen. All rights reserved.", body, 0, 10, 247, 340, 17, F::Small},
        {6002, false, L"Button", L"Visit Website", WS_TABSTOP, 0, 60, 270, 100, 26, F::Body},
        {6003, false, L"Button", L"Close", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 200, 270, 100, 26, F::Body},
    };
}
