// The main window procedure: the hub that owns the timers and applies what the
// worker threads post back.
#pragma once

#include <windows.h>

#include <cstdint>

#include "update/update_types.h"

// Opened by F1 in the "Login Error" box.
inline constexpr wchar_t kSetupGuideUrl[] = L"https://www.vexlumen.net/setup-guide";
// The two timers of core/app_messages.h and the countdown they drive.
inline constexpr unsigned kCountdownPeriodMs = 1000;
inline constexpr unsigned kConnectivityPeriodMs = 5000;
inline constexpr int kCountdownStart = 120;
inline constexpr wchar_t kConnectionLostText[] = L"No network connection";
// "Enable now" that could not write the Run value; the system's reason follows.
inline constexpr wchar_t kAutostartErrorCaption[] = L"Autostart Error";
inline constexpr wchar_t kAutostartFailedText[] = L"Lumaroth could not be set to run at Windows startup.";

// Caption, system menu and minimise box: no sizing border, no maximise box.
inline constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Handlers of the posted results; each frees the heap record it is given.
// ticket is the update ticket the worker was started with (see
// app/workers.h); a result carrying any other is dropped.
void applyUpdateResult(unsigned ticket, UpdateResult* result);
// checkNumber: the number the check was started with (see startConnectivityCheck).
void applyNetworkState(bool reachable, uint32_t checkNumber);
