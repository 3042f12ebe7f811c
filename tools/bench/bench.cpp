// Resource benchmark: runs Lumaroth.exe (signed in, against the local update
// service) and a bare Win32 window through the same number of cycles and
// prints working set, kernel handles, GDI objects, windows and the longest
// WM_NULL round trip of each, before and after. Figures only; nothing here
// passes or fails.
//
//   bench.exe LUMAROTH_EXE BARE_EXE [CYCLES]
//
// Wine stubs GetGuiResources and GetProcessHandleCount, so handles come from
// the system handle table and GDI objects from the process's own GDI handle
// table (PEB + 0xF8).
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "app/startup.h"
#include "core/app_messages.h"
#include "core/app_state.h"
#include "core/control_ids.h"
#include "store/credential_store.h"

#include <psapi.h>

namespace {

struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

struct GdiEntry {
    void* kernelAddress;
    USHORT processId;
    USHORT count;
    USHORT upper;
    USHORT type;
    void* userAddress;
};

constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr size_t kGdiTableEntries = 0x10000;

struct Sample {
    SIZE_T workingSet = 0;
    long handles = -1;
    long gdiObjects = -1;
    long windows = 0;
};

using NtQuerySystemInformationFn = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using NtQueryInformationProcessFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

long countHandles(DWORD pid)
{
    auto query = reinterpret_cast<NtQuerySystemInformationFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<unsigned char> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        NTSTATUS status = query(kSystemExtendedHandleInformation, buffer.data(),
                                static_cast<ULONG>(buffer.size()), &needed);
        if (status >= 0) {
            auto table = reinterpret_cast<const HandleTable*>(buffer.data());
            long n = 0;
            for (ULONG_PTR i = 0; i < table->count; ++i)
                if (table->entries[i].processId == pid)
                    ++n;
            return n;
        }
        buffer.resize(buffer.size() * 2);
    }
    return -1;
}

long countGdiObjects(HANDLE process)
{
    auto query = reinterpret_cast<NtQueryInformationProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query)
        return -1;
    PROCESS_BASIC_INFORMATION info = {};
    if (query(process, ProcessBasicInformation, &info, sizeof(info), nullptr) < 0)
        return -1;
    void* table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(info.PebBaseAddress) + 0xF8, &table,
                           sizeof(table), &read) || !table)
        return -1;
    std::vector<GdiEntry> entries(kGdiTableEntries);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiEntry), &read))
        return -1;
    long n = 0;
    for (const GdiEntry& entry : entries)
        if (entry.type != 0)
            ++n;
    return n;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK countChild(HWND, LPARAM lParam)
{
    ++reinterpret_cast<WindowCount*>(lParam)->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND hwnd, LPARAM lParam)
{
    auto* counter = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == counter->pid) {
        ++counter->count;
        EnumChildWindows(hwnd, countChild, lParam);
    }
    return TRUE;
}

Sample sample(const PROCESS_INFORMATION& process)
{
    Sample s;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory)))
        s.workingSet = memory.WorkingSetSize;
    s.handles = countHandles(process.dwProcessId);
    s.gdiObjects = countGdiObjects(process.hProcess);
    WindowCount windows = {process.dwProcessId, 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&windows));
    s.windows = windows.count;
    return s;
}

HWND waitForWindow(const wchar_t* className, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = FindWindowW(className, nullptr);
        if (hwnd && IsWindowVisible(hwnd))
            return hwnd;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

bool waitUntilEnabled(HWND control, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!IsWindowEnabled(control)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

// One cycle: what a program sees in about two minutes of its life, compressed.
DWORD runCycle(HWND hwnd, bool lumaroth)
{
    if (lumaroth) {
        HWND update = GetDlgItem(hwnd, IDC_UPDATE_IP);
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_UPDATE_IP, BN_CLICKED), reinterpret_cast<LPARAM>(update));
        // The click disables the button until the result arrives.
        DWORD_PTR ignored;
        SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        waitUntilEnabled(update, 30000);
        PostMessageW(hwnd, WM_TIMER, IDT_CONNECTIVITY, 0);
    }
    for (int tick = 0; tick < 5; ++tick)
        PostMessageW(hwnd, WM_TIMER, lumaroth ? IDT_COUNTDOWN : 1, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    DWORD before = GetTickCount();
    DWORD_PTR ignored;
    SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    return GetTickCount() - before;
}

void printSample(const char* label, const Sample& s)
{
    std::printf("  %-7s working set %7zu KiB  handles %4ld  GDI objects %4ld  windows %3ld\n", label,
                s.workingSet / 1024, s.handles, s.gdiObjects, s.windows);
}

bool benchOne(const wchar_t* label, const std::wstring& exe, const wchar_t* className, bool lumaroth,
              int cycles)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &process)) {
        std::printf("%ls: cannot start (error %lu)\n", label, GetLastError());
        return false;
    }
    bool ok = false;
    HWND hwnd = waitForWindow(className, 30000);
    if (hwnd) {
        for (int i = 0; i < 10; ++i)
            runCycle(hwnd, lumaroth);
        Sample first = sample(process);
        DWORD slowest = 0, total = 0;
        for (int i = 0; i < cycles; ++i) {
            DWORD roundTrip = runCycle(hwnd, lumaroth);
            total += roundTrip;
            if (roundTrip > slowest)
                slowest = roundTrip;
        }
        Sample last = sample(process);
        std::printf("%ls, %d cycles after 10 warm-up cycles:\n", label, cycles);
        printSample("before", first);
        printSample("after", last);
        std::printf("  growth  working set %+ld KiB, handles %+ld, GDI objects %+ld, windows %+ld\n",
                    static_cast<long>(last.workingSet / 1024) - static_cast<long>(first.workingSet / 1024),
                    last.handles - first.handles, last.gdiObjects - first.gdiObjects,
                    last.windows - first.windows);
        std::printf("  WM_NULL round trip: mean %lu ms, slowest %lu ms\n",
                    cycles ? total / static_cast<DWORD>(cycles) : 0, slowest);
        ok = true;
        if (lumaroth)
            PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDM_TRAY_EXIT, 0), 0);
        else
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
    } else {
        std::printf("%ls: no visible window\n", label);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::printf("usage: bench.exe LUMAROTH_EXE BARE_EXE [CYCLES]\n");
        return 2;
    }
    int cycles = argc > 3 ? _wtoi(argv[3]) : 200;
    // The account the benchmark's update service knows; written the way the
    // client itself writes it.
    appState.hostname = L"bench.example.net";
    appState.username = L"bench";
    appState.updateKey = L"bench-key";
    saveAccount();
    bool ok = benchOne(L"Lumaroth.exe", argv[1], kMainWindowClass, true, cycles);
    ok = benchOne(L"bare window", argv[2], L"LumarothBenchBareWindow", false, cycles) && ok;
    deleteAccount();
    return ok ? 0 : 1;
}
