// The short-lived worker threads that do every exchange with the update
// server, and the rule that decides when an update may start.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "core/app_state.h"
#include "update/http_transport.h"

// A worker that has not answered by then is abandoned: the GUI thread ends
// its exchange as "network_error" itself and drops the late answer. The
// slack lets the transport's own bound answer first whenever it can.
inline constexpr unsigned kWorkerDeadlineSlackMs = 2000;
inline constexpr unsigned kWorkerDeadlineMs = kExchangeDeadlineMs + kWorkerDeadlineSlackMs;
// Abandoned workers live on as long as the peer holds their connection. Past
// these counts of live threads an update or login fails at once and no
// connectivity check starts, so such a peer holds a handful of threads.
inline constexpr int kMaxLiveExchangeWorkers = 2;
inline constexpr int kMaxLiveConnectivityWorkers = kMaxChecksOut;

// Live threads per kind: raised before a launch, lowered by the worker as its
// last act (or at once when the launch failed).
extern std::atomic<int> liveUpdateWorkers;
extern std::atomic<int> liveLoginWorkers;
extern std::atomic<int> liveConnectivityWorkers;

// A copy of the account for one update worker; the worker frees it.
// Freeing a request wipes its key.
struct UpdateRequest {
    std::wstring hostname;
    std::wstring username;
    std::wstring updateKey;
    unsigned ticket = 0;
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

// Bumped at logout, when a login replaces the account and when a login
// attempt is given up at its deadline: a login worker started for an older
// generation has its result dropped when it arrives.
extern unsigned accountGeneration;
// The ticket the running (or next) update carries; moved on as soon as a
// result is applied, so an update answers at most once and a worker's late
// answer after the deadline is dropped.
extern unsigned updateTicket;
// Makes every running worker's result stale: a new generation and ticket, and
// no update or login counts as in flight any more.
void retireRunningWorkers();

// Starts a thread running routine(argument); false when it could not be
// started. A replaceable pointer so that tests can make thread creation fail.
using WorkerLauncher = bool (*)(LPTHREAD_START_ROUTINE routine, void* argument);
extern WorkerLauncher launchWorker;
bool launchWorkerThread(LPTHREAD_START_ROUTINE routine, void* argument);

void startUpdate();
// At IDT_UPDATE_DEADLINE: an update still in flight ends as "network_error".
void endOverdueUpdate();
// Takes ownership of request. When no thread can be started the attempt ends
// at once as a failed login ("network_error").
void startLoginWorker(LoginRequest* request);
// Numbers each check, so that an answer older than one already applied can
// be told apart (see applyNetworkState). Checks unanswered past the deadline
// are applied as "unreachable" first.
void startConnectivityCheck();
// The check's answer arrived: it is no longer waited for.
void forgetCheck(uint32_t checkNumber);
// After a successful update or login: what checks started before it find can
// no longer mark the connection lost.
void dropChecksStartedSoFar();

DWORD WINAPI updateWorker(LPVOID request);
DWORD WINAPI loginWorker(LPVOID request);
// Its argument is the check's number, which it posts back as lParam.
DWORD WINAPI connectivityWorker(LPVOID checkNumber);
