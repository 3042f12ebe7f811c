// The one record of application state. It is read and written on the GUI
// thread only; worker threads get copies of what they need.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

enum class UpdateStatus : int { Idle = 0, Updating = 1, Succeeded = 2, Failed = 3 };

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
    // Connectivity checks are numbered as they start; an answer older than
    // the newest one applied is dropped.
    uint32_t lastCheckStarted = 0;
    uint32_t lastCheckApplied = 0;
};

extern AppState appState;

// The main window; set once in its WM_CREATE, the only shared variable that
// worker threads read.
extern HWND mainWindow;

// True exactly when the account is complete: the test every decision uses.
bool isSignedIn();
