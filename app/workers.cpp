#include "app/workers.h"

#include <cstdint>
#include <new>

#include "app/controller.h"
#include "app/login_flow.h"
#include "core/app_messages.h"
#include "core/app_state.h"
#include "ui/status_refresh.h"
#include "core/secure_wipe.h"
#include "update/update_protocol.h"

unsigned accountGeneration = 0;
unsigned updateTicket = 0;
std::atomic<int> liveUpdateWorkers{0};
std::atomic<int> liveLoginWorkers{0};
std::atomic<int> liveConnectivityWorkers{0};

namespace {

// Counted before the thread exists, so a worker that ends at once cannot
// take the count below zero.
bool launchCounted(LPTHREAD_START_ROUTINE routine, void* argument, std::atomic<int>& live, int most)
{
    if (live.load() >= most) return false;
    ++live;
    if (launchWorker(routine, argument)) return true;
    --live;
    return false;
}

CheckOut* freeCheckSlot()
{
    for (CheckOut& check : appState.checksOut)
        if (check.number == 0) return &check;
    return nullptr;
}

// Checks unanswered past the deadline count as "unreachable"; their answers,
// should they still come, are dropped by the floor.
void endOverdueChecks()
{
    const ULONGLONG now = GetTickCount64();
    for (CheckOut& check : appState.checksOut) {
        if (check.number == 0 || now - check.startTick < kWorkerDeadlineMs) continue;
        const uint32_t number = check.number;
        check = CheckOut{};
        applyNetworkState(false, number);
        if (appState.checkFloor <= number) appState.checkFloor = number + 1;
    }
}

}  // namespace

UpdateRequest::~UpdateRequest()
{
    wipeText(updateKey);
}

LoginRequest::~LoginRequest()
{
    wipeText(updateKey);
}

void retireRunningWorkers()
{
    ++accountGeneration;
    ++updateTicket;
    appState.updateInFlight = false;
    appState.loginInFlight = false;
    KillTimer(mainWindow, IDT_UPDATE_DEADLINE);
    KillTimer(mainWindow, IDT_LOGIN_DEADLINE);
}

bool launchWorkerThread(LPTHREAD_START_ROUTINE routine, void* argument)
{
    // Workers are never joined: the handle is not needed beyond this point.
    HANDLE thread = CreateThread(nullptr, 0, routine, argument, 0, nullptr);
    if (!thread) return false;
    CloseHandle(thread);
    return true;
}

WorkerLauncher launchWorker = launchWorkerThread;

void startUpdate()
{
    // The mark, not the shown status: a connection loss shows "Failed" while
    // the update still runs, and a second one beside it could land first.
    if (!isSignedIn() || appState.updateInFlight) return;
    appState.updateInFlight = true;
    appState.updateStatus = UpdateStatus::Updating;
    refreshStatusPanel();

    const unsigned ticket = updateTicket;
    // Without its deadline a stalled worker would hold the update forever:
    // no timer, no update.
    if (SetTimer(mainWindow, IDT_UPDATE_DEADLINE, kWorkerDeadlineMs, nullptr)) {
        auto* request = new (std::nothrow)
            UpdateRequest{appState.hostname, appState.username, appState.updateKey, ticket};
        if (request && launchCounted(updateWorker, request, liveUpdateWorkers, kMaxLiveExchangeWorkers)) return;
        delete request;
    }
    // No worker will ever answer: end the update here as a network failure.
    applyUpdateResult(ticket, new (std::nothrow) UpdateResult{});
}

void endOverdueUpdate()
{
    KillTimer(mainWindow, IDT_UPDATE_DEADLINE);
    // A missing result is applied as "network_error".
    if (appState.updateInFlight) applyUpdateResult(updateTicket, nullptr);
}

void startLoginWorker(LoginRequest* request)
{
    if (SetTimer(mainWindow, IDT_LOGIN_DEADLINE, kWorkerDeadlineMs, nullptr)) {
        appState.loginInFlight = true;
        if (launchCounted(loginWorker, request, liveLoginWorkers, kMaxLiveExchangeWorkers)) return;
    }
    applyLoginResult(request, new (std::nothrow) UpdateResult{});
}

void startConnectivityCheck()
{
    endOverdueChecks();
    CheckOut* slot = freeCheckSlot();
    if (!slot) return;
    const uint32_t number = ++appState.lastCheckStarted;
    if (!launchCounted(connectivityWorker, reinterpret_cast<void*>(static_cast<uintptr_t>(number)),
                       liveConnectivityWorkers, kMaxLiveConnectivityWorkers))
        return;
    slot->number = number;
    slot->startTick = GetTickCount64();
}

void forgetCheck(uint32_t checkNumber)
{
    for (CheckOut& check : appState.checksOut)
        if (check.number == checkNumber) check = CheckOut{};
}

void dropChecksStartedSoFar()
{
    appState.checkFloor = appState.lastCheckStarted + 1;
    for (CheckOut& check : appState.checksOut) check = CheckOut{};
}

DWORD WINAPI updateWorker(LPVOID argument)
{
    auto* request = static_cast<UpdateRequest*>(argument);
    const UpdateResult result =
        performUpdate(request->hostname, request->username, request->updateKey);
    const unsigned ticket = request->ticket;
    delete request;

    auto* copy = new (std::nothrow) UpdateResult(result);
    // The window is gone only when the program is ending.
    if (!PostMessageW(mainWindow, WM_UPDATE_RESULT, ticket, reinterpret_cast<LPARAM>(copy)))
        delete copy;
    --liveUpdateWorkers;
    return 0;
}

DWORD WINAPI loginWorker(LPVOID argument)
{
    auto* request = static_cast<LoginRequest*>(argument);
    const UpdateResult result =
        performUpdate(request->hostname, request->username, request->updateKey);

    auto* copy = new (std::nothrow) UpdateResult(result);
    if (!PostMessageW(mainWindow, WM_LOGIN_RESULT, reinterpret_cast<WPARAM>(request),
                      reinterpret_cast<LPARAM>(copy))) {
        delete copy;
        delete request;
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
