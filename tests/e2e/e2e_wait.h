// Waiting for a condition instead of sleeping a fixed time, and the journeys'
// time limits.
#pragma once

#include "tests/common/wait.h"

#include <windows.h>

// Time limits of the journeys: generous, since two journeys and a build may
// share the machine; a passing journey never waits them out.
inline constexpr DWORD kStartLimitMs = 30000;     // process start, window shown
inline constexpr DWORD kReplyLimitMs = 20000;     // a request through the service and back
inline constexpr DWORD kUiLimitMs = 10000;        // a window or text change
inline constexpr DWORD kExchangeLimitMs = 60000;  // an exchange the service stalls, ended by the program
