// The main window as designed, for the tests that find or drive it: its class
// name, the periods of its two timers, the deadline past which a worker is
// given up (the transport's 30 seconds and 2 of slack), how many threads of a
// kind may be alive at once, its tray icon and the question "Logout" asks.
// Spelled out here rather than taken from the program's headers, so that a
// wrong value there fails the tests.
#pragma once

inline constexpr wchar_t kMainWindowClass[] = L"LumarothMainWindow";
inline constexpr unsigned kCountdownPeriodMs = 1000;
inline constexpr unsigned kConnectivityPeriodMs = 5000;
inline constexpr unsigned kWorkerDeadlineMs = 30000 + 2000;
inline constexpr int kMaxLiveExchangeWorkers = 2;
inline constexpr int kMaxLiveConnectivityWorkers = 3;

// The tray icon: its id under the main window and the message (WM_USER + 100)
// its mouse events arrive as.
inline constexpr unsigned kTrayIconId = 1;
inline constexpr unsigned kTrayCallbackMessage = 0x0400 + 100;

inline constexpr wchar_t kLogoutQuestion[] =
    L"Are you sure you want to log out?\n\nAll saved hostname and account information will be deleted.";
