// What the journeys share: the demo account, the two panels' control tables
// (from the tests' common layout tables), and the readings that several
// journeys make (countdown, status colour).
#pragma once

#include "tests/common/app_texts.h"
#include "tests/common/panel_layouts.h"
#include "tests/common/result_messages.h"
#include "tests/e2e/e2e_app.h"
#include "tests/e2e/e2e_controls.h"
#include "tests/e2e/e2e_service.h"

#include <windows.h>

#include <string>
#include <vector>

inline const ServiceAccount kAlice{"home.example.net", "alice", "s3cret"};
inline const ServiceAccount kBob{"office.example.org", "bob", "hunter2"};

// Status line colours by update state.
inline constexpr COLORREF kGreen = RGB(0x2E, 0x7D, 0x32);
inline constexpr COLORREF kBlue = RGB(0x15, 0x65, 0xC0);
inline constexpr COLORREF kRed = RGB(0xC6, 0x28, 0x28);
inline constexpr COLORREF kLinkBlue = RGB(0x00, 0x66, 0xCC);

inline constexpr wchar_t kWebsite[] = L"https://www.vexlumen.net/";
inline constexpr wchar_t kSetupGuide[] = L"https://www.vexlumen.net/setup-guide";
inline constexpr wchar_t kNoValue[] = L"\x2014";

// The rows of a common layout table that stand on one parent: the window's
// own or, with inBanner, the autostart banner's.
std::vector<ExpectedControl> controlsOn(const std::vector<PanelControl>& rows, bool inBanner = false);
// The login panel as built without an account (one "Login") or while signed
// in ("Logout", "Login", "Cancel"); texts of the three fields.
std::vector<ExpectedControl> loginPanel(bool signedIn, const wchar_t* host, const wchar_t* user, const wchar_t* key);
// The status panel with or without the autostart banner. Value texts that
// change by the second (countdown, status line) are nullptr here.
std::vector<ExpectedControl> statusPanel(bool banner, const wchar_t* user, const wchar_t* host, const wchar_t* ip);
std::vector<ExpectedControl> bannerControls();

// Seeds the service with alice and bob and the address alice's host already
// points to, and the prefix with alice's stored account and the autostart
// value (so that the status panel has no banner).
void seedSignedIn(UpdateService& service, const std::string& address);
// Starts the program, waits for its window and for the first update's result.
HWND startAndSettle(LumarothProcess& app, UpdateService& service);

void typeAccount(HWND main, const std::wstring& host, const std::wstring& user, const std::wstring& key);
bool isStatusPanelShown(HWND main);
std::wstring statusLine(HWND main);
// Seconds shown by "Next Check:", or -1 when the text is no countdown.
int countdownSeconds(HWND main);
int countdownSeconds(const std::wstring& text);
// Ticks the countdown until it shows at most seconds, or until a tick
// restarted it: the program's own timer ticks too and may find 0 first.
void tickDownTo(HWND main, int seconds);
// Whether countdown, read before this call, shows the countdown restarted at
// 120 after since (GetTickCount64 before the restart), posted being the ticks
// the journey sent since. The program's own one-second timer ticks beside the
// journey: once for each whole second passed, once for the second under way
// and once for a tick already due, so no reading of it is exact.
bool restartedSince(const std::wstring& countdown, ULONGLONG since, int posted);
// Whether the status line is painted in colour (and in no other state colour).
bool waitForStatusColour(HWND main, COLORREF colour);
// Whether control's text is painted (partly) in colour.
bool waitForTextColour(HWND control, COLORREF colour);
// Tab as the user presses it in the control that has the focus.
void pressTab(HWND main);
// Any key (down and up) and typed characters, into the focused control.
void pressKey(HWND main, UINT key);
void typeText(HWND main, const std::wstring& text);
// Lines of C:\opened-urls.txt written by the prefix's stand-in browser.
bool waitForOpenedUrl(const std::wstring& url, DWORD timeoutMs);
// Waits until the program handled every message posted before this call:
// a blank "Login" on the signed-out panel opens its warning, which is closed.
bool drainPostedMessages(HWND main);
