// The short-lived worker threads that do every exchange with the update
// server, and the rule that decides when an update may start.
#pragma once

#include <windows.h>

#include <string>

// A copy of the account for one update worker; the worker frees it.
struct UpdateRequest {
    std::wstring hostname;
    std::wstring username;
    std::wstring updateKey;
    unsigned generation = 0;
};

// The processed login values; they travel back with the result and
// applyLoginResult frees them.
struct LoginRequest {
    std::wstring hostname;
    std::wstring username;
    std::wstring updateKey;
    unsigned generation = 0;
};

// Bumped at logout and when a login replaces the account: a worker started for
// an older generation has its result dropped when it arrives.
extern unsigned accountGeneration;

// Starts a thread running routine(argument); false when it could not be
// started. A replaceable pointer so that tests can make thread creation fail.
using WorkerLauncher = bool (*)(LPTHREAD_START_ROUTINE routine, void* argument);
extern WorkerLauncher launchWorker;
bool launchWorkerThread(LPTHREAD_START_ROUTINE routine, void* argument);

void startUpdate();
// Takes ownership of request. When no thread can be started the attempt ends
// at once as a failed login ("network_error").
void startLoginWorker(LoginRequest* request);
void startConnectivityCheck();

DWORD WINAPI updateWorker(LPVOID request);
DWORD WINAPI loginWorker(LPVOID request);
DWORD WINAPI connectivityWorker(LPVOID unused);
