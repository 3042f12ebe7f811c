// Resource benchmark: runs Lumaroth.exe (signed in, against the local update
// service) and a bare Win32 window (the same 5-second HTTPS check on a worker
// thread) one after the other and prints, for each: resident and anonymous
// memory after 20 s idle, CPU time over 60 s idle, kernel handles, GDI objects
// and windows before and after the update cycles (and, for Lumaroth.exe, 100
// panel rebuilds), the longest WM_NULL round trip, and for Lumaroth.exe the
// longest round trip while the server stalls an update, and the time an update
// through a tunnel that trickles every byte takes to its result (about the
// program's deadline) with the thread count then. Figures only; nothing here
// passes or fails.
//
//   bench.exe LUMAROTH_EXE BARE_EXE [CYCLES [SERVICE_CONFIG_JSON [BARE_CONTROLS_EXE]]]
//
// Wine stubs GetGuiResources and GetProcessHandleCount, so handles come from
// the system handle table and GDI objects from the process's own GDI handle
// table (PEB + 0xF8). Memory and CPU time are the Linux process's own figures
// (/proc through drive Z:), since Wine's working set is only its RSS and its
// private bytes are always 0.
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "core/app_messages.h"
#include "core/app_state.h"
#include "res/resource.h"
#include "store/credential_store.h"
#include "tests/common/app_texts.h"
#include "tests/common/service_client.h"

#include <psapi.h>
#include <tlhelp32.h>

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
constexpr DWORD kSettleMs = 20000;
constexpr DWORD kIdleCpuMs = 60000;
constexpr DWORD kStallWatchMs = 15000;
constexpr DWORD kTrickleLimitMs = 120000;
constexpr int kPanelRebuildPairs = 50;
constexpr long kLinuxClockTicksPerSecond = 100;

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
        NTSTATUS status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                &needed);
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
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(info.PebBaseAddress) + 0xF8, &table, sizeof(table),
                           &read) ||
        !table)
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

// The Linux side of a Wine process: its /proc entry, found by the Windows
// path Wine shows as its command line.
struct LinuxFigures {
    long rssKiB = -1;
    long anonymousKiB = -1;
    long long cpuTicks = -1;
};

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

long findLinuxPid(const std::wstring& exe)
{
    std::string wanted;
    for (wchar_t c : exe)
        wanted += static_cast<char>(c);
    wanted = lowerAscii(wanted);
    long found = -1;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    do {
        wchar_t* end = nullptr;
        long pid = std::wcstol(entry.cFileName, &end, 10);
        if (pid <= 0 || *end)
            continue;
        std::string commandLine = readWholeFile(std::wstring(L"Z:\\proc\\") + entry.cFileName + L"\\cmdline");
        if (lowerAscii(commandLine.c_str()).find(wanted) != std::string::npos && pid > found)
            found = pid;
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

long kibField(const std::string& text, const char* name)
{
    size_t at = text.find(name);
    return at == std::string::npos ? -1 : std::atol(text.c_str() + at + std::strlen(name));
}

LinuxFigures linuxFigures(long pid)
{
    LinuxFigures figures;
    if (pid <= 0)
        return figures;
    const std::wstring dir = L"Z:\\proc\\" + std::to_wstring(pid) + L"\\";
    const std::string rollup = readWholeFile(dir + L"smaps_rollup");
    figures.rssKiB = kibField(rollup, "\nRss:");
    figures.anonymousKiB = kibField(rollup, "\nAnonymous:");
    // Fields 14 and 15 of stat, user and system time of every thread the
    // process has had; the command name before them is in parentheses.
    const std::string stat = readWholeFile(dir + L"stat");
    size_t close = stat.rfind(')');
    if (close != std::string::npos) {
        const char* field = stat.c_str() + close + 2;
        long long values[13] = {};
        for (int i = 0; i < 13 && *field; ++i) {
            values[i] = std::atoll(field);
            field = std::strchr(field, ' ');
            if (!field)
                break;
            ++field;
        }
        figures.cpuTicks = values[11] + values[12];
    }
    return figures;
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

void printGrowth(const char* label, const Sample& first, const Sample& last)
{
    std::printf("  growth over %s: working set %+ld KiB, handles %+ld, GDI objects %+ld, windows %+ld\n", label,
                static_cast<long>(last.workingSet / 1024) - static_cast<long>(first.workingSet / 1024),
                last.handles - first.handles, last.gdiObjects - first.gdiObjects, last.windows - first.windows);
}

DWORD roundTrip(HWND hwnd)
{
    DWORD before = GetTickCount();
    DWORD_PTR ignored;
    SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    return GetTickCount() - before;
}

// The window sits untouched, as on a desk: its own timers and checks only.
void idleFigures(long pid)
{
    // A check in flight holds a worker's stack (about 1 MiB under Wine): the
    // lowest of five samples a second apart is the program at rest.
    Sleep(kSettleMs);
    LinuxFigures settled = linuxFigures(pid);
    for (int i = 0; i < 4; ++i) {
        Sleep(1000);
        LinuxFigures next = linuxFigures(pid);
        if (next.anonymousKiB < settled.anonymousKiB)
            settled = next;
    }
    std::printf("  after %lu s idle: resident %ld KiB, anonymous %ld KiB (lowest of 5 samples; Linux pid %ld)\n",
                kSettleMs / 1000, settled.rssKiB, settled.anonymousKiB, pid);
    const LinuxFigures start = linuxFigures(pid);
    Sleep(kIdleCpuMs);
    LinuxFigures later = linuxFigures(pid);
    const long long ms = (later.cpuTicks - start.cpuTicks) * 1000 / kLinuxClockTicksPerSecond;
    std::printf("  CPU time over the next %lu s idle: %lld ms (%.3f %% of a core); anonymous then %ld KiB\n",
                kIdleCpuMs / 1000, ms, 100.0 * static_cast<double>(ms) / kIdleCpuMs, later.anonymousKiB);
}

// "Edit Host" then "Cancel": the login panel and the status panel rebuilt.
// Sent, not posted: a sent WM_NULL would overtake posted commands.
void rebuildPanels(HWND hwnd, int pairs)
{
    DWORD_PTR ignored;
    for (int i = 0; i < pairs; ++i) {
        SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_EDIT_HOST, BN_CLICKED), 0, SMTO_NORMAL, 5000, &ignored);
        SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED), 0, SMTO_NORMAL, 5000, &ignored);
    }
}

// The service's config as it is and with one member more; false when it
// cannot be read.
bool configWith(const std::wstring& configPath, const char* member, std::string& config, std::string& changed)
{
    config = readWholeFile(configPath);
    const size_t end = config.rfind('}');
    if (config.empty() || end == std::string::npos)
        return false;
    changed = config.substr(0, end) + ", " + member + "}";
    return true;
}

// An update the server takes and never answers; the window keeps ticking.
void stalledRoundTrip(HWND hwnd, const std::wstring& configPath)
{
    std::string config, stalled;
    if (!configWith(configPath, R"("fault": {"on": ["update"], "stall": true})", config, stalled))
        return;
    HWND update = GetDlgItem(hwnd, IDC_UPDATE_IP);
    waitUntilEnabled(update, 30000);
    writeFileAtomically(configPath, stalled);
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_UPDATE_IP, BN_CLICKED), reinterpret_cast<LPARAM>(update));
    DWORD start = GetTickCount(), slowest = 0;
    int samples = 0;
    while (GetTickCount() - start < kStallWatchMs) {
        PostMessageW(hwnd, WM_TIMER, IDT_COUNTDOWN, 0);
        DWORD trip = roundTrip(hwnd);
        if (trip > slowest)
            slowest = trip;
        ++samples;
        Sleep(50);
    }
    std::printf("  WM_NULL round trip while the server stalls an update for %lu s: slowest %lu ms of %d\n",
                kStallWatchMs / 1000, slowest, samples);
    writeFileAtomically(configPath, config);
    // The stalled request ends at the client's own time-out.
    waitUntilEnabled(update, 60000);
}

long threadCount(DWORD processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    long count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == processId)
            ++count;
    CloseHandle(snapshot);
    return count;
}

// An update whose tunnel relays one byte a second, TLS handshake included:
// no WinHTTP time-out trips, only the program's own deadline ends it.
void trickledUpdate(HWND hwnd, const std::wstring& configPath, DWORD processId)
{
    std::string config, trickling;
    if (!configWith(configPath, R"("trickle_tunnel": 1)", config, trickling))
        return;
    HWND update = GetDlgItem(hwnd, IDC_UPDATE_IP);
    waitUntilEnabled(update, 60000);
    const long threadsBefore = threadCount(processId);
    writeFileAtomically(configPath, trickling);
    const ULONGLONG start = GetTickCount64();
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_UPDATE_IP, BN_CLICKED), reinterpret_cast<LPARAM>(update));
    while (IsWindowEnabled(update) && GetTickCount64() - start < 5000)
        Sleep(10);
    const bool ended = waitUntilEnabled(update, kTrickleLimitMs);
    const ULONGLONG elapsed = GetTickCount64() - start;
    const long threadsAfter = threadCount(processId);
    if (ended)
        std::printf("  update through a tunnel trickling a byte a second: result after %lu ms; threads %ld -> %ld\n",
                    static_cast<unsigned long>(elapsed), threadsBefore, threadsAfter);
    else
        std::printf("  update through a tunnel trickling a byte a second: no result after %lu s; threads %ld -> %ld\n",
                    kTrickleLimitMs / 1000, threadsBefore, threadsAfter);
    writeFileAtomically(configPath, config);
    waitUntilEnabled(update, 60000);
}

bool benchOne(const wchar_t* label, const std::wstring& exe, const wchar_t* className, bool lumaroth, int cycles,
              const std::wstring& configPath)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process)) {
        std::printf("%ls: cannot start (error %lu)\n", label, GetLastError());
        return false;
    }
    bool ok = false;
    HWND hwnd = waitForWindow(className, 30000);
    if (hwnd) {
        std::printf("%ls:\n", label);
        if (lumaroth)
            waitUntilEnabled(GetDlgItem(hwnd, IDC_UPDATE_IP), 30000);
        idleFigures(findLinuxPid(exe));
        for (int i = 0; i < 10; ++i)
            runCycle(hwnd, lumaroth);
        Sample first = sample(process);
        DWORD slowest = 0, total = 0;
        for (int i = 0; i < cycles; ++i) {
            DWORD trip = runCycle(hwnd, lumaroth);
            total += trip;
            if (trip > slowest)
                slowest = trip;
        }
        Sample last = sample(process);
        std::printf("  %d cycles after 10 warm-up cycles:\n", cycles);
        printSample("before", first);
        printSample("after", last);
        printGrowth("the cycles", first, last);
        std::printf("  WM_NULL round trip: mean %lu ms, slowest %lu ms\n",
                    cycles ? total / static_cast<DWORD>(cycles) : 0, slowest);
        if (lumaroth) {
            rebuildPanels(hwnd, kPanelRebuildPairs);
            Sample rebuilt = sample(process);
            printSample("rebuilt", rebuilt);
            printGrowth("100 panel rebuilds", last, rebuilt);
            if (!configPath.empty()) {
                stalledRoundTrip(hwnd, configPath);
                trickledUpdate(hwnd, configPath, process.dwProcessId);
            }
        }
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

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::printf("usage: bench.exe LUMAROTH_EXE BARE_EXE [CYCLES [SERVICE_CONFIG_JSON [BARE_CONTROLS_EXE]]]\n");
        return 2;
    }
    int cycles = argc > 3 ? _wtoi(argv[3]) : 200;
    const std::wstring configPath = argc > 4 ? argv[4] : L"";
    // The account the benchmark's update service knows; written the way the
    // client itself writes it.
    if (saveAccount(L"bench.example.net", L"bench", L"bench-key") != ERROR_SUCCESS) {
        std::printf("the benchmark account could not be stored\n");
        return 1;
    }
    bool ok = benchOne(L"Lumaroth.exe", argv[1], kMainWindowClass, true, cycles, configPath);
    ok = benchOne(L"bare window", argv[2], L"LumarothBenchBareWindow", false, cycles, configPath) && ok;
    if (argc > 5)
        ok = benchOne(L"bare window with common controls 6", argv[5], L"LumarothBenchBareWindow", false, cycles,
                      configPath) &&
             ok;
    if (deleteAccount() != ERROR_SUCCESS)
        std::printf("the benchmark account could not be removed\n");
    return ok ? 0 : 1;
}
