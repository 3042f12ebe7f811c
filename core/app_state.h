// The one record of application state. It is read and written on the GUI
// thread only; worker threads get copies of what they need.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

enum class UpdateStatus : int { Idle = 0, Updating = 1, Succeeded = 2, Failed = 3 };

// Connectivity checks waited for at once; no further one starts meanwhile.
inline constexpr int kMaxChecksOut = 3;

// A started connectivity check not yet answered; number 0 marks a free slot.
struct CheckOut {
    uint32_t number = 0;
    ULONGLONG startTick = 0;
};

struct AppState {
    std::wstring hostname;
    std::wstring username;
    std::wstring updateKey;
    UpdateStatus updateStatus = UpdateStatus::Idle;
    std::wstring lastIp;
    std::wstring errorText;
    SYSTEMTIME lastUpdateTime = {};
    bool hasLastUpdateTime = false;
    SYSTEMTIME ipChangeTime = {};
    bool hasIpChangeTime = false;
    int32_t secondsToNextCheck = 120;
    bool online = true;
    bool loginPanelShown = false;
    std::wstring loginErrorText;
    int32_t clientHeight = 248;
    // An update worker runs whose result is still wanted; kept apart from
    // updateStatus, which a connection loss sets to Failed meanwhile.
    bool updateInFlight = false;
    // A login worker runs whose result is still wanted.
    bool loginInFlight = false;
    // When the running update and login started (GetTickCount64): a deadline
    // tick before their own deadline belongs to an exchange ended since.
    ULONGLONG updateStartTick = 0;
    ULONGLONG loginStartTick = 0;
    // Connectivity checks are numbered from 1 as they start. An answer
    // numbered below the floor is dropped: older than one already applied,
    // started before a successful update or login was applied, or given up
    // at its deadline.
    uint32_t lastCheckStarted = 0;
    uint32_t checkFloor = 0;
    CheckOut checksOut[kMaxChecksOut];
    // What a login and an update worker are started under (app/workers.h):
    // an answer that no longer matches is dropped.
    unsigned accountGeneration = 0;
    unsigned updateTicket = 0;
};

extern AppState appState;

// The main window; set once in its WM_CREATE, the only shared variable that
// worker threads read.
extern HWND mainWindow;

// True exactly when the account is complete: the test every decision uses.
bool isSignedIn();
