#include "tests/e2e/e2e_app.h"

#include "tests/common/app_texts.h"
#include "tests/e2e/e2e_wait.h"

#include <shellapi.h>

#include <commctrl.h>

namespace {

constexpr UINT kSendLimitMs = 5000;

std::wstring driverFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

struct ClassSearch {
    const wchar_t* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK collectByClass(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<ClassSearch*>(context);
    if (className(window) == search->className && (!search->visibleOnly || IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::wstring lumarothExePath()
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"LUMAROTH_EXE", buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return buffer;
    return driverFolder() + L"Lumaroth.exe";
}

LumarothProcess::~LumarothProcess()
{
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool LumarothProcess::start(const std::wstring& arguments)
{
    std::wstring exe = lumarothExePath();
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
        return false;
    WaitForInputIdle(info_.hProcess, kStartLimitMs);
    return true;
}

HWND LumarothProcess::waitForWindow(DWORD timeoutMs)
{
    waitUntil(
        [&] {
            for (HWND window : topLevelWindows(kMainWindowClass, false)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == info_.dwProcessId) {
                    window_ = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return window_;
}

HWND LumarothProcess::waitForVisibleWindow(DWORD timeoutMs)
{
    if (!waitForWindow(timeoutMs))
        return nullptr;
    return waitUntil([&] { return IsWindowVisible(window_) != 0; }, timeoutMs) ? window_ : nullptr;
}

bool LumarothProcess::waitForExit(DWORD timeoutMs, DWORD* code)
{
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(info_.hProcess, code);
    return true;
}

DWORD LumarothProcess::exitFromTray(DWORD timeoutMs)
{
    if (window_)
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(2003, 0), 0);
    DWORD code = ~0u;
    return waitForExit(timeoutMs, &code) ? code : ~0u;
}

std::wstring className(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring itemText(HWND parent, int id)
{
    HWND item = GetDlgItem(parent, id);
    return item ? windowText(item) : L"<no control " + std::to_wstring(id) + L">";
}

RECT rectIn(HWND window, HWND reference)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE clientSize(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

std::vector<HWND> childrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND focusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

std::vector<HWND> topLevelWindows(const wchar_t* wantedClass, bool visibleOnly)
{
    ClassSearch search{wantedClass, visibleOnly, {}};
    EnumWindows(collectByClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool waitForItemText(HWND parent, int id, const std::wstring& text, DWORD timeoutMs)
{
    return waitUntil([&] { return itemText(parent, id) == text; }, timeoutMs);
}

bool waitForGone(HWND window, DWORD timeoutMs)
{
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

void setItemText(HWND parent, int id, const std::wstring& text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(parent, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        kSendLimitMs, &result);
}

void clickButton(HWND parent, int id)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(parent, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kSendLimitMs, &result);
}

void postClick(HWND parent, int id)
{
    PostMessageW(GetDlgItem(parent, id), BM_CLICK, 0, 0);
}

void sendTimer(HWND main, UINT_PTR timerId)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, WM_TIMER, timerId, 0, SMTO_ABORTIFHUNG, kSendLimitMs, &result);
}

void postTrayMouse(HWND main, UINT mouseMessage)
{
    PostMessageW(main, kTrayCallbackMessage, kTrayIconId, mouseMessage);
}

bool trayIconPresent(HWND main)
{
    // Modifying nothing succeeds exactly when the shell knows the icon.
    NOTIFYICONDATAW probe{};
    probe.cbSize = NOTIFYICONDATAW_V3_SIZE;
    probe.hWnd = main;
    probe.uID = kTrayIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

HWND visibleBalloon()
{
    for (HWND tip : topLevelWindows(TOOLTIPS_CLASSW, true))
        if (GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON)
            return tip;
    return nullptr;
}

HWND waitForMessageBox(const std::wstring& caption, DWORD timeoutMs)
{
    HWND box = nullptr;
    waitUntil(
        [&] {
            box = FindWindowW(L"#32770", caption.c_str());
            return box && IsWindowVisible(box);
        },
        timeoutMs);
    return box && IsWindowVisible(box) ? box : nullptr;
}

std::wstring messageBoxText(HWND box)
{
    return itemText(box, 0xFFFF);
}

std::vector<int> messageBoxButtons(HWND box)
{
    std::vector<int> ids;
    for (HWND child : childrenOf(box))
        if (className(child) == L"Button" && IsWindowVisible(child))
            ids.push_back(GetDlgCtrlID(child));
    return ids;
}

bool isDefaultButton(HWND box, int id)
{
    HWND button = GetDlgItem(box, id);
    return button && (GetWindowLongW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

bool pressMessageBoxButton(HWND box, int id, DWORD timeoutMs)
{
    PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0);
    return waitUntil([&] { return !IsWindow(box); }, timeoutMs);
}
