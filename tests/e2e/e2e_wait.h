// Waiting for a condition instead of sleeping a fixed time.
#pragma once

#include <windows.h>

#include <functional>

// Polls condition every 20 ms until it holds (true) or timeoutMs passed (false).
inline bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(20);
    }
}

// Time limits of the journeys: generous, since two journeys and a build may
// share the machine; a passing journey never waits them out.
inline constexpr DWORD kStartLimitMs = 30000;    // process start, window shown
inline constexpr DWORD kReplyLimitMs = 20000;    // a request through the service and back
inline constexpr DWORD kUiLimitMs = 10000;       // a window or text change
inline constexpr DWORD kExchangeLimitMs = 60000; // an exchange the service stalls, ended by the program
