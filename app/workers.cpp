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
    appState.updateInFlight = false;
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

    auto* request = new (std::nothrow)
        UpdateRequest{appState.hostname, appState.username, appState.updateKey, accountGeneration};
    if (request && launchWorker(updateWorker, request)) return;
    delete request;
    // No worker will ever answer: end the update here as a network failure.
    applyUpdateResult(accountGeneration, new (std::nothrow) UpdateResult{});
}

void startLoginWorker(LoginRequest* request)
{
    if (launchWorker(loginWorker, request)) return;
    applyLoginResult(request, new (std::nothrow) UpdateResult{});
}

void startConnectivityCheck()
{
    const uintptr_t number = ++appState.lastCheckStarted;
    launchWorker(connectivityWorker, reinterpret_cast<void*>(number));
}

DWORD WINAPI updateWorker(LPVOID argument)
{
    auto* request = static_cast<UpdateRequest*>(argument);
    const UpdateResult result =
        performUpdate(request->hostname, request->username, request->updateKey);
    const unsigned generation = request->generation;
    delete request;

    auto* copy = new (std::nothrow) UpdateResult(result);
    // The window is gone only when the program is ending.
    if (!PostMessageW(mainWindow, WM_UPDATE_RESULT, generation, reinterpret_cast<LPARAM>(copy)))
        delete copy;
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
    return 0;
}

DWORD WINAPI connectivityWorker(LPVOID checkNumber)
{
    const bool reachable = checkConnectivity();
    PostMessageW(mainWindow, WM_NETWORK_STATE, reachable ? 1 : 0, reinterpret_cast<LPARAM>(checkNumber));
    return 0;
}
