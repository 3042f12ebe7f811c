#include "app/workers.h"

#include <new>

#include "core/app_messages.h"
#include "core/app_state.h"
#include "core/scoped_win.h"
#include "core/secure_wipe.h"
#include "ui/status_refresh.h"
#include "update/http_transport.h"
#include "update/update_protocol.h"
#include "update/update_types.h"

WorkerLauncher gLaunchWorker = launchWorkerThread;

namespace {

constexpr unsigned kCountdownPeriodMs = 1000;
constexpr unsigned kConnectivityPeriodMs = 5000;
// A worker that has not answered by then is abandoned: the GUI thread ends
// its exchange as "network_error" itself and drops the late answer. The
// slack lets the transport's own bound answer first whenever it can.
constexpr unsigned kWorkerDeadlineSlackMs = 2000;
constexpr unsigned kWorkerDeadlineMs = kExchangeDeadlineMs + kWorkerDeadlineSlackMs;
// WM_TIMER and GetTickCount64 keep time apart, each to about a clock tick:
// a deadline's own tick may find a little less than the period passed.
constexpr unsigned kTimerJitterMs = 500;
// Abandoned workers live on as long as the peer holds their connection. Past
// these counts of live threads an update or login fails at once and no
// connectivity check starts, so such a peer holds a handful of threads.
constexpr int kMaxLiveExchangeWorkers = 2;
constexpr int kMaxLiveConnectivityWorkers = kMaxChecksOut;

std::atomic<int> liveUpdateWorkers{0};
std::atomic<int> liveLoginWorkers{0};
std::atomic<int> liveConnectivityWorkers{0};

// Counted before the thread exists, so a worker that ends at once cannot
// take the count below zero.
bool launchCounted(LPTHREAD_START_ROUTINE routine, void* argument, int most)
{
    std::atomic<int>& live = liveWorkersOf(routine);
    if (live.load() >= most)
        return false;
    ++live;
    if (gLaunchWorker(routine, argument))
        return true;
    --live;
    return false;
}

CheckOut* freeCheckSlot()
{
    for (CheckOut& check : appState.checksOut)
        if (check.number == 0)
            return &check;
    return nullptr;
}

// Posts the result of a worker; it stays with the caller when the post
// fails, which happens only once the window is gone, as the program ends.
void postResult(UINT message, WPARAM wParam, std::unique_ptr<UpdateResult> result)
{
    if (PostMessageW(mainWindow, message, wParam, reinterpret_cast<LPARAM>(result.get())))
        result.release();
}

}  // namespace

AccountRequest::~AccountRequest()
{
    wipeText(updateKey);
}

void startAccountTimers()
{
    SetTimer(mainWindow, IDT_COUNTDOWN, kCountdownPeriodMs, nullptr);
    SetTimer(mainWindow, IDT_CONNECTIVITY, kConnectivityPeriodMs, nullptr);
}

void stopAccountTimers()
{
    for (UINT_PTR timer : {IDT_COUNTDOWN, IDT_CONNECTIVITY, IDT_UPDATE_DEADLINE, IDT_LOGIN_DEADLINE})
        KillTimer(mainWindow, timer);
}

unsigned currentAccountGeneration()
{
    return appState.accountGeneration;
}

void abandonLoginAttempt()
{
    ++appState.accountGeneration;
}

unsigned currentUpdateTicket()
{
    return appState.updateTicket;
}

bool takeUpdateTicket(unsigned ticket)
{
    if (ticket != appState.updateTicket)
        return false;
    ++appState.updateTicket;
    return true;
}

void retireRunningWorkers()
{
    ++appState.accountGeneration;
    ++appState.updateTicket;
    appState.updateInFlight = false;
    appState.loginInFlight = false;
    KillTimer(mainWindow, IDT_UPDATE_DEADLINE);
    KillTimer(mainWindow, IDT_LOGIN_DEADLINE);
}

bool exchangeOverdue(ULONGLONG startTick)
{
    return GetTickCount64() - startTick + kTimerJitterMs >= kWorkerDeadlineMs;
}

bool launchWorkerThread(LPTHREAD_START_ROUTINE routine, void* argument)
{
    // Workers are never joined: the handle is not needed beyond this point.
    const ScopedHandle thread(CreateThread(nullptr, 0, routine, argument, 0, nullptr));
    return static_cast<bool>(thread);
}

std::atomic<int>& liveWorkersOf(LPTHREAD_START_ROUTINE routine)
{
    if (routine == updateWorker)
        return liveUpdateWorkers;
    if (routine == loginWorker)
        return liveLoginWorkers;
    return liveConnectivityWorkers;
}

void startUpdate()
{
    // The mark, not the shown status: a connection loss shows "Failed" while
    // the update still runs, and a second one beside it could land first.
    if (!isSignedIn() || appState.updateInFlight)
        return;
    appState.updateInFlight = true;
    appState.updateStartTick = GetTickCount64();
    appState.updateStatus = UpdateStatus::Updating;
    refreshStatusPanel();

    const unsigned ticket = appState.updateTicket;
    // Without its deadline a stalled worker would hold the update forever:
    // no timer, no update.
    if (SetTimer(mainWindow, IDT_UPDATE_DEADLINE, kWorkerDeadlineMs, nullptr)) {
        std::unique_ptr<UpdateRequest> request(
            new (std::nothrow) UpdateRequest{{appState.hostname, appState.username, appState.updateKey}, ticket});
        if (request && launchCounted(updateWorker, request.get(), kMaxLiveExchangeWorkers)) {
            request.release();
            return;
        }
    }
    postResult(WM_UPDATE_RESULT, ticket, nullptr);
}

void startLoginWorker(std::unique_ptr<LoginRequest> request)
{
    if (SetTimer(mainWindow, IDT_LOGIN_DEADLINE, kWorkerDeadlineMs, nullptr)) {
        appState.loginInFlight = true;
        appState.loginStartTick = GetTickCount64();
        if (launchCounted(loginWorker, request.get(), kMaxLiveExchangeWorkers)) {
            request.release();
            return;
        }
    }
    if (PostMessageW(mainWindow, WM_LOGIN_RESULT, reinterpret_cast<WPARAM>(request.get()), 0))
        request.release();
}

void startConnectivityCheck()
{
    CheckOut* slot = freeCheckSlot();
    if (!slot)
        return;
    const uint32_t number = ++appState.lastCheckStarted;
    if (!launchCounted(connectivityWorker, reinterpret_cast<void*>(static_cast<uintptr_t>(number)),
                       kMaxLiveConnectivityWorkers))
        return;
    slot->number = number;
    slot->startTick = GetTickCount64();
}

uint32_t takeOverdueCheck()
{
    const ULONGLONG now = GetTickCount64();
    for (CheckOut& check : appState.checksOut) {
        if (check.number == 0 || now - check.startTick < kWorkerDeadlineMs)
            continue;
        const uint32_t number = check.number;
        check = CheckOut{};
        return number;
    }
    return 0;
}

void forgetCheck(uint32_t checkNumber)
{
    for (CheckOut& check : appState.checksOut)
        if (check.number == checkNumber)
            check = CheckOut{};
}

void dropChecksStartedSoFar()
{
    appState.checkFloor = appState.lastCheckStarted + 1;
    for (CheckOut& check : appState.checksOut)
        check = CheckOut{};
}

DWORD WINAPI updateWorker(LPVOID argument)
{
    std::unique_ptr<UpdateRequest> request(static_cast<UpdateRequest*>(argument));
    const UpdateResult result = performUpdate(request->hostname, request->username, request->updateKey);
    const unsigned ticket = request->ticket;
    request.reset();
    postResult(WM_UPDATE_RESULT, ticket, std::unique_ptr<UpdateResult>(new (std::nothrow) UpdateResult(result)));
    --liveUpdateWorkers;
    return 0;
}

DWORD WINAPI loginWorker(LPVOID argument)
{
    std::unique_ptr<LoginRequest> request(static_cast<LoginRequest*>(argument));
    const UpdateResult result = performUpdate(request->hostname, request->username, request->updateKey);
    std::unique_ptr<UpdateResult> copy(new (std::nothrow) UpdateResult(result));
    if (PostMessageW(mainWindow, WM_LOGIN_RESULT, reinterpret_cast<WPARAM>(request.get()),
                     reinterpret_cast<LPARAM>(copy.get()))) {
        request.release();
        copy.release();
    }
    --liveLoginWorkers;
    return 0;
}

DWORD WINAPI connectivityWorker(LPVOID checkNumber)
{
    const bool reachable = checkConnectivity();
    PostMessageW(mainWindow, WM_NETWORK_STATE, reachable ? 1 : 0, reinterpret_cast<LPARAM>(checkNumber));
    --liveConnectivityWorkers;
    return 0;
}
