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
