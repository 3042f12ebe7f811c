// The short-lived worker threads that do every exchange with the update
// server, and the rule that decides when an update may start.
#pragma once

#include <windows.h>

#include <string>

// A copy of the account for one update worker; the worker frees it.
// Freeing a request wipes its key.
struct UpdateRequest {
    std::wstring hostname;
    std::wstring username;
    std::wstring updateKey;
    unsigned generation = 0;
    ~UpdateRequest();
};

// The processed login values; they travel back with the result and
// applyLoginResult frees them.
struct LoginRequest {
    std::wstring hostname;
    std::wstring username;
    std::wstring updateKey;
    unsigned generation = 0;
    ~LoginRequest();
};

// Bumped at logout and when a login replaces the account: a worker started for
// an older generation has its result dropped when it arrives.
extern unsigned accountGeneration;
// Makes every running worker's result stale: a new generation, and no update
// counts as in flight any more.
void retireRunningWorkers();

// Starts a thread running routine(argument); false when it could not be
// started. A replaceable pointer so that tests can make thread creation fail.
using WorkerLauncher = bool (*)(LPTHREAD_START_ROUTINE routine, void* argument);
extern WorkerLauncher launchWorker;
bool launchWorkerThread(LPTHREAD_START_ROUTINE routine, void* argument);

void startUpdate();
// Takes ownership of request. When no thread can be started the attempt ends
// at once as a failed login ("network_error").
void startLoginWorker(LoginRequest* request);
// Numbers each check, so that an answer older than one already applied can
// be told apart (see applyNetworkState).
void startConnectivityCheck();

DWORD WINAPI updateWorker(LPVOID request);
DWORD WINAPI loginWorker(LPVOID request);
// Its argument is the check's number, which it posts back as lParam.
DWORD WINAPI connectivityWorker(LPVOID checkNumber);
