// The short-lived worker threads that do every exchange with the update
// server, the bookkeeping that tells their answers apart, and the account's
// timers that start them.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// The countdown to the next update starts here, in seconds.
inline constexpr int kCountdownStart = 120;

// A copy of the account for one worker; freeing it wipes its key.
struct AccountRequest {
    std::wstring hostname;
    std::wstring username;
    std::wstring updateKey;
    ~AccountRequest();
};
// An update carries its ticket back with the result.
struct UpdateRequest : AccountRequest {
    unsigned ticket = 0;
};
// A login's copy travels back with its result, with the account generation it
// was started under.
struct LoginRequest : AccountRequest {
    unsigned generation = 0;
};

// IDT_COUNTDOWN and IDT_CONNECTIVITY, which run while an account is signed
// in; stopping also ends the deadlines of the exchanges.
void startAccountTimers();
void stopAccountTimers();

// The account generation moves on at logout, when a login replaces the
// account and when a login attempt is given up at its deadline: a login
// worker started under an older one has its result dropped when it arrives.
unsigned currentAccountGeneration();
void abandonLoginAttempt();
// The ticket the running (or next) update carries.
unsigned currentUpdateTicket();
// True when ticket is the running update's. The ticket moves on at once, so
// an update answers at most once and a late answer after the deadline is
// dropped.
[[nodiscard]] bool takeUpdateTicket(unsigned ticket);
// Makes every running worker's result stale: a new generation and ticket, and
// no update or login counts as in flight any more.
void retireRunningWorkers();
// True once an exchange started at startTick is past its deadline.
bool exchangeOverdue(ULONGLONG startTick);

// Starts a thread running routine(argument); false when it could not be
// started. A global only so that in-process tests can record launches or
// make them fail: the program itself never changes it.
using WorkerLauncher = bool (*)(LPTHREAD_START_ROUTINE routine, void* argument);
extern WorkerLauncher gLaunchWorker;
[[nodiscard]] bool launchWorkerThread(LPTHREAD_START_ROUTINE routine, void* argument);
// The live threads of the worker routine: raised before a launch, lowered by
// the worker as its last act (or at once when the launch failed).
std::atomic<int>& liveWorkersOf(LPTHREAD_START_ROUTINE routine);

// When no worker can be started, the same result message a worker would send
// is posted, without a result: the exchange ends as "network_error".
void startUpdate();
void startLoginWorker(std::unique_ptr<LoginRequest> request);
// Numbers each check, so that an answer older than one already applied can
// be told apart (see the floor in AppState).
void startConnectivityCheck();
// One check unanswered past the deadline, taken out of the waiting ones; 0
// when there is none.
uint32_t takeOverdueCheck();
// The check's answer arrived: it is no longer waited for.
void forgetCheck(uint32_t checkNumber);
// After a successful update or login: what checks started before it find can
// no longer mark the connection lost.
void dropChecksStartedSoFar();

DWORD WINAPI updateWorker(LPVOID request);
DWORD WINAPI loginWorker(LPVOID request);
// Its argument is the check's number, which it posts back as lParam.
DWORD WINAPI connectivityWorker(LPVOID checkNumber);
