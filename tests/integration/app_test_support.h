// In-process harness for the application shell tests: the real main window
// created on the test thread, worker launches recorded instead of run, and a
// helper thread that answers the modal message boxes the flows open.
#pragma once

#include <windows.h>
#include <wincred.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/controller.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "app/tray.h"
#include "app/workers.h"
#include "core/app_messages.h"
#include "core/app_state.h"
#include "core/scoped_win.h"
#include "res/resource.h"
#include "store/autostart.h"
#include "store/credential_store.h"
#include "store/state_store.h"
#include "store/store_calls.h"
#include "tests/common/app_texts.h"
#include "tests/common/external_names.h"
#include "tests/common/window_text.h"
#include "ui/dpi.h"
#include "ui/window_constants.h"
#include "update/update_types.h"

// --- Worker launches -------------------------------------------------------

struct LaunchedWorker {
    LPTHREAD_START_ROUTINE routine;
    void* argument;
};

inline std::vector<LaunchedWorker>& launchedWorkers()
{
    static std::vector<LaunchedWorker> workers;
    return workers;
}

// A recorded worker never runs, so it ends (for the live count) at once.
inline bool recordLaunch(LPTHREAD_START_ROUTINE routine, void* argument)
{
    launchedWorkers().push_back({routine, argument});
    --liveWorkersOf(routine);
    return true;
}

inline bool refuseLaunch(LPTHREAD_START_ROUTINE, void*)
{
    return false;
}

inline size_t launchCount(LPTHREAD_START_ROUTINE routine)
{
    size_t count = 0;
    for (const LaunchedWorker& worker : launchedWorkers())
        if (worker.routine == routine)
            ++count;
    return count;
}

// The argument of the last recorded launch of routine, or null.
template <typename Record>
Record* lastLaunched(LPTHREAD_START_ROUTINE routine)
{
    for (auto it = launchedWorkers().rbegin(); it != launchedWorkers().rend(); ++it)
        if (it->routine == routine)
            return static_cast<Record*>(it->argument);
    return nullptr;
}

// Takes a recorded login request out of the list, so that the test can post
// it back as a worker would.
inline LoginRequest* takeLoginRequest()
{
    auto& workers = launchedWorkers();
    for (auto it = workers.rbegin(); it != workers.rend(); ++it) {
        if (it->routine == loginWorker) {
            auto* request = static_cast<LoginRequest*>(it->argument);
            workers.erase(std::next(it).base());
            return request;
        }
    }
    return nullptr;
}

inline void freeLaunchedWorkers()
{
    for (const LaunchedWorker& worker : launchedWorkers()) {
        if (worker.routine == updateWorker)
            delete static_cast<UpdateRequest*>(worker.argument);
        if (worker.routine == loginWorker)
            delete static_cast<LoginRequest*>(worker.argument);
    }
    launchedWorkers().clear();
}

// --- Messages and windows ---------------------------------------------------

// Dispatches this thread's messages until done() holds or timeoutMs passed.
inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done())
            return true;
        if (GetTickCount64() > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// Drains the queue; true when a WM_QUIT was among the messages.
inline bool drainMessages(WPARAM* quitCode = nullptr)
{
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            if (quitCode)
                *quitCode = message.wParam;
            continue;
        }
        DispatchMessageW(&message);
    }
    return quit;
}

inline std::wstring controlText(int id)
{
    return windowText(GetDlgItem(mainWindow, id));
}

inline void setControlText(int id, const std::wstring& text)
{
    SetWindowTextW(GetDlgItem(mainWindow, id), text.c_str());
}

inline bool controlEnabled(int id)
{
    HWND control = GetDlgItem(mainWindow, id);
    return control && IsWindowEnabled(control);
}

// KillTimer is the only way to ask whether a timer runs; it is started again
// with its period.
inline bool timerRuns(UINT_PTR id)
{
    if (!KillTimer(mainWindow, id))
        return false;
    const UINT period = id == IDT_COUNTDOWN      ? kCountdownPeriodMs
                        : id == IDT_CONNECTIVITY ? kConnectivityPeriodMs
                                                 : kWorkerDeadlineMs;
    SetTimer(mainWindow, id, period, nullptr);
    return true;
}

// Takes a running exchange past its deadline: a tick of timer left queued by
// an exchange ended since leaves it running (inFlight), and once its start
// lies a deadline back the next tick ends it.
inline void runDeadlinePast(UINT_PTR timer, const bool& inFlight, ULONGLONG& startTick)
{
    EXPECT_TRUE(timerRuns(timer));
    SendMessageW(mainWindow, WM_TIMER, timer, 0);
    EXPECT_TRUE(inFlight);
    EXPECT_TRUE(timerRuns(timer));
    startTick -= kWorkerDeadlineMs;
    SendMessageW(mainWindow, WM_TIMER, timer, 0);
}

// --- Stored account and state ----------------------------------------------

inline bool credentialExists()
{
    ScopedCredential credential;
    return CredReadW(kCredentialTarget, CRED_TYPE_GENERIC, 0, credential.put()) != FALSE;
}

inline void storeAccount(const std::wstring& hostname, const std::wstring& username, const std::wstring& updateKey)
{
    ASSERT_EQ(saveAccount(hostname, username, updateKey), static_cast<DWORD>(ERROR_SUCCESS));
}

// Stand-ins for the store's writes that fail as the system would, with the
// code in storeFailure(); the fixture puts the real calls back.
inline DWORD& storeFailure()
{
    static DWORD code = ERROR_NO_SUCH_LOGON_SESSION;
    return code;
}

inline BOOL WINAPI failCredentialWrite(PCREDENTIALW, DWORD)
{
    SetLastError(storeFailure());
    return FALSE;
}

inline BOOL WINAPI failCredentialDelete(LPCWSTR, DWORD, DWORD)
{
    SetLastError(storeFailure());
    return FALSE;
}

inline LSTATUS APIENTRY failRunValueWrite(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD)
{
    return static_cast<LSTATUS>(storeFailure());
}

inline void forgetStoredAccountAndState()
{
    const DWORD deleted = deleteAccount();
    EXPECT_TRUE(deleted == ERROR_SUCCESS || deleted == ERROR_NOT_FOUND) << deleted;
    deleteStateValues();
}

// --- Message boxes ----------------------------------------------------------

struct SeenBox {
    bool found = false;
    std::wstring text;
    std::vector<int> buttons;  // ids of the push buttons present
    int defaultButton = 0;     // the one drawn as default push button
    HICON icon = nullptr;
};

// Waits on its own thread for a message box with the caption, records what it
// shows and presses the answer. Construct it before the action opens the box.
class BoxAnswerer {
public:
    BoxAnswerer(const wchar_t* caption, int answer)
        : caption_(caption)
        , answer_(answer)
    {
        thread_ = std::thread([this] { run(); });
    }
    ~BoxAnswerer()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    // Call after the action returned (the box is closed by then).
    SeenBox seen()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return seen_;
    }

private:
    void run()
    {
        const ULONGLONG deadline = GetTickCount64() + 15000;
        while (!stop_ && GetTickCount64() < deadline) {
            HWND box = FindWindowW(L"#32770", caption_.c_str());
            if (box && IsWindowVisible(box)) {
                seen_.found = true;
                seen_.text = windowText(GetDlgItem(box, 0xFFFF));
                for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDHELP})
                    if (GetDlgItem(box, id))
                        seen_.buttons.push_back(id);
                for (int id : seen_.buttons)
                    if ((GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
                        seen_.defaultButton = id;
                DWORD_PTR icon = 0;
                SendMessageTimeoutW(GetDlgItem(box, 0x0440), STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
                seen_.icon = reinterpret_cast<HICON>(icon);
                PostMessageW(GetDlgItem(box, answer_), BM_CLICK, 0, 0);
                return;
            }
            Sleep(20);
        }
    }

    std::wstring caption_;
    int answer_;
    std::atomic<bool> stop_{false};
    SeenBox seen_;
    std::thread thread_;
};

// --- Fixture ----------------------------------------------------------------

// The one fixture of the tests that need a main window. Each test starts with
// no stored account unless it stores one first, and makes its window: the
// real one, created hidden exactly as the program creates it (createWindow),
// or the UI tests' stand-in (ui_test_window.h), which it keeps in window.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool registered = registerWindowClasses(GetModuleHandleW(nullptr));
        ASSERT_TRUE(registered);
        forgetStoredAccountAndState();
        appState = AppState{};
        gLaunchWorker = recordLaunch;
        previousAutostart = isAutostartEnabled();
    }

    void TearDown() override
    {
        if (HWND about = FindWindowW(kAboutClass, nullptr))
            DestroyWindow(about);
        if (mainWindow && IsWindow(mainWindow))
            DestroyWindow(mainWindow);
        drainMessages();
        mainWindow = nullptr;
        freeLaunchedWorkers();
        gLaunchWorker = launchWorkerThread;
        gStoreCalls = StoreCalls{CredWriteW, CredDeleteW, RegSetValueExW};
        forgetStoredAccountAndState();
        EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(previousAutostart));
        appState = AppState{};
    }

    // Runs body on each row of a table in a fixture of its own, as if each
    // row were a test: what one row leaves (window, stored account and state,
    // recorded launches, failing stand-ins) is gone before the next starts,
    // and a row that fails fatally ends only itself.
    template <typename Row, size_t N, typename Body>
    void forEachRow(const Row (&rows)[N], Body body)
    {
        for (const Row& row : rows) {
            body(row);
            TearDown();
            SetUp();
        }
    }

    HWND createWindow()
    {
        HWND window = createMainWindow(GetModuleHandleW(nullptr));
        EXPECT_NE(window, nullptr);
        return window;
    }

    // A window started with a stored, complete account.
    HWND createSignedInWindow()
    {
        storeAccount(L"home.example.net", L"alice", L"s3cret");
        return createWindow();
    }

    HWND child(int id) const { return GetDlgItem(window, id); }

    RECT clientSize() const
    {
        RECT r = {};
        GetClientRect(window, &r);
        return r;
    }

    HWND window = nullptr;

private:
    bool previousAutostart = false;
};
