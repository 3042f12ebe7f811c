// The main window as designed, for the tests that find or drive it: its class
// name, the periods of its two timers, the deadline past which a worker is
// given up (the transport's 30 seconds and 2 of slack) and how many threads
// of a kind may be alive at once.
#pragma once

inline constexpr wchar_t kMainWindowClass[] = L"LumarothMainWindow";
inline constexpr unsigned kCountdownPeriodMs = 1000;
inline constexpr unsigned kConnectivityPeriodMs = 5000;
inline constexpr unsigned kWorkerDeadlineMs = 30000 + 2000;
inline constexpr int kMaxLiveExchangeWorkers = 2;
inline constexpr int kMaxLiveConnectivityWorkers = 3;
