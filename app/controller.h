// The main window procedure: the hub that owns the timers and applies what the
// worker threads post back.
#pragma once

#include <windows.h>

#include <cstdint>

#include "update/update_types.h"

// Caption, system menu and minimise box: no sizing border, no maximise box.
inline constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Handlers of the posted results; each frees the heap record it is given.
// generation is the account generation the worker was started for
// (see app/workers.h); results of an older one are dropped.
void applyUpdateResult(unsigned generation, UpdateResult* result);
// checkNumber: the number the check was started with (see startConnectivityCheck).
void applyNetworkState(bool reachable, uint32_t checkNumber);
