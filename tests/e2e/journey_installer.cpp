// The setup exe as a user meets it: install, the installed program signed in,
// a reinstall over the running program that starts it again (also under
// other names of its folder, and from the wizard), an upgrade that cannot
// replace a held file, a move to another folder, folders it must refuse or
// protect, and uninstalling with and without the saved account or when the
// program cannot be deleted.
#include "res/version.h"
#include "tests/e2e/e2e_store.h"
#include "tests/e2e/e2e_wait.h"
#include "tests/e2e/journeys.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumaroth";
constexpr DWORD kSetupLimitMs = 60000;

std::wstring expand(const wchar_t* text)
{
    wchar_t buffer[MAX_PATH] = {};
    ExpandEnvironmentStringsW(text, buffer, MAX_PATH);
    return buffer;
}

std::wstring environment(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH] = {};
    GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return buffer;
}

// A file's index on its volume: a file replaced by another has a new one.
ULONGLONG fileIndex(const std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION info{};
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    const bool read = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return read ? (ULONGLONG(info.nFileIndexHigh) << 32) | info.nFileIndexLow : 0;
}

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring userString(const wchar_t* key, const wchar_t* value)
{
    std::wstring text = L"<missing>";
    readUserString(key, value, &text);
    return text;
}

DWORD userDword(const wchar_t* key, const wchar_t* value)
{
    DWORD data = ~0u, size = sizeof data;
    RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_DWORD, nullptr, &data, &size);
    return data;
}

// The exit code, or ~0u when the program did not end in time.
DWORD run(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return ~0u;
    DWORD code = ~0u;
    if (WaitForSingleObject(info.hProcess, kSetupLimitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return code;
}

DWORD install(const std::wstring& options)
{
    return run(L"\"" + environment(L"E2E_SETUP_EXE") + L"\" " + options);
}

// The uninstaller hands over to a copy of itself in %TEMP% and returns at
// once; that copy removes the Apps & Features entry last.
bool uninstall(const std::wstring& folder, const std::wstring& options)
{
    return run(L"\"" + folder + L"\\Uninstall.exe\" " + options) == 0 &&
           waitUntil([] { return !userKeyExists(kUninstallKey); }, kSetupLimitMs);
}

// Runs the uninstaller in place (NSIS's "_?="), so that its exit code is its own.
DWORD uninstallInPlace(const std::wstring& folder)
{
    return run(L"\"" + folder + L"\\Uninstall.exe\" /S _?=" + folder);
}

// The program's window and the exe its process runs, or nullptr and "".
std::pair<HWND, std::wstring> runningProgram()
{
    std::vector<HWND> windows = topLevelWindows(L"LumarothMainWindow", false);
    if (windows.empty())
        return {nullptr, L""};
    DWORD id = 0;
    GetWindowThreadProcessId(windows[0], &id);
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
        if (!QueryFullProcessImageNameW(process, 0, image, &length))
            image[0] = L'\0';
        CloseHandle(process);
    }
    return {windows[0], image};
}

// The uninstaller's own message box: a dialog of its caption with a box text.
HWND uninstallerMessageBox()
{
    for (HWND box : topLevelWindows(L"#32770", true))
        if (windowText(box) == L"Lumaroth Uninstall" && GetDlgItem(box, 0xFFFF))
            return box;
    return nullptr;
}

std::string fileBytes(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The shortcut names its target in UTF-16, the link info in the ANSI code page.
bool shortcutNames(const std::wstring& shortcut, const std::wstring& target)
{
    const std::string bytes = fileBytes(shortcut);
    const std::string wide(reinterpret_cast<const char*>(target.data()), target.size() * sizeof(wchar_t));
    return bytes.find(wide) != std::string::npos ||
           bytes.find(std::string(target.begin(), target.end())) != std::string::npos;
}

std::wstring folderAccessList(const std::wstring& folder)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return L"<unreadable>";
    wchar_t* text = nullptr;
    std::wstring sddl = L"<unconvertible>";
    if (ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        sddl = text;
        LocalFree(text);
    }
    LocalFree(descriptor);
    return sddl;
}

// tests/e2e's stand-in for a DLL planted beside the program: when loaded it
// leaves "<its path>.loaded".
std::wstring plantedDll()
{
    wchar_t driver[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, driver, MAX_PATH);
    std::wstring path = driver;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"planted\\winhttp.dll";
}

bool accountStored()
{
    StoredCredential credential;
    return readAccountCredential(&credential) && credential.blob == "home.example.net|alice|s3cret";
}

}  // namespace

TEST(Journey, InstallUpgradeUninstall)
{
    const std::wstring folder = expand(L"%LOCALAPPDATA%\\Programs\\Lumaroth");
    const std::wstring exe = folder + L"\\Lumaroth.exe";
    const std::wstring shortcut = expand(L"%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\Lumaroth.lnk");
    const std::wstring autostart = L"\"" + exe + L"\" /startup";
    // Wine would copy the shortcut to the Linux desktop's menus.
    writeUserString(L"Software\\Wine\\DllOverrides", L"winemenubuilder.exe", L"");
    UpdateService service;
    service.setAccounts({kAlice});
    service.setAddress("198.51.100.20");
    service.setRecord(kAlice.hostname, "198.51.100.20");
    seedAccount(kAlice.hostname, kAlice.username, kAlice.key);

    // Silent install: files, shortcut and Apps & Features entry; nothing started.
    ASSERT_EQ(install(L"/S"), 0u);
    EXPECT_TRUE(exists(exe) && exists(folder + L"\\Uninstall.exe") && exists(shortcut));
    const std::pair<const wchar_t*, std::wstring> entry[] = {
        {L"DisplayName", L"Lumaroth"},
        {L"DisplayVersion", LUMAROTH_VERSION_WIDE},
        {L"Publisher", L"Vexlumen"},
        {L"DisplayIcon", exe + L",0"},
        {L"InstallLocation", folder},
        {L"UninstallString", L"\"" + folder + L"\\Uninstall.exe\""},
        {L"QuietUninstallString", L"\"" + folder + L"\\Uninstall.exe\" /S"},
    };
    for (const auto& [value, text] : entry)
        EXPECT_EQ(userString(kUninstallKey, value), text) << value;
    EXPECT_EQ(userDword(kUninstallKey, L"NoModify"), 1u);
    EXPECT_EQ(userDword(kUninstallKey, L"NoRepair"), 1u);
    EXPECT_GT(userDword(kUninstallKey, L"EstimatedSize"), 100u) << "KB";
    EXPECT_TRUE(topLevelWindows(L"LumarothMainWindow", false).empty());

    // A winhttp.dll that cannot be loaded (Wine's override winhttp=d standing
    // in for a policy or a broken system): the program keeps running and
    // says so. Set for Lumaroth.exe in the registry: Wine gives a child
    // process its own WINEDLLOVERRIDES, not the one its parent set.
    const std::wstring built = lumarothExePath();
    SetEnvironmentVariableW(L"LUMAROTH_EXE", exe.c_str());
    const wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\Lumaroth.exe\\DllOverrides";
    writeUserString(kOverrides, L"winhttp", L"");
    {
        LumarothProcess withoutWinHttp;
        HWND window = withoutWinHttp.start() ? withoutWinHttp.waitForVisibleWindow(kStartLimitMs) : nullptr;
        ASSERT_TRUE(window);
        EXPECT_TRUE(waitUntil(
            [&] {
                const std::wstring line = statusLine(window);
                return line == resultMessage("network_error") || line == L"No network connection";
            },
            kReplyLimitMs))
            << statusLine(window);
        EXPECT_EQ(withoutWinHttp.exitFromTray(kUiLimitMs), 0u);
    }
    deleteRawValue(kOverrides, L"winhttp");

    // The installed program signs in with the stored account; "Enable now".
    LumarothProcess first;
    HWND main = startAndSettle(first, service);
    ASSERT_TRUE(main);
    HWND banner = FindWindowExW(main, nullptr, L"LumarothAlert", nullptr);
    ASSERT_TRUE(banner);
    PostMessageW(GetDlgItem(banner, 7002), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return userString(kRunKey, kRunValueName) == autostart; }, kUiLimitMs));

    // The same version over the running program: closed, replaced, and
    // started again as the sign-in would, hidden, sending its update at once;
    // account, state and autostart kept. A winhttp.dll planted beside it is
    // never loaded (Wine prefers its builtin DLLs unless told otherwise, as
    // Windows prefers the exe's folder).
    const std::wstring planted = folder + L"\\winhttp.dll";
    writeUserString(kOverrides, L"winhttp", L"native,builtin");
    ASSERT_TRUE(CopyFileW(plantedDll().c_str(), planted.c_str(), FALSE));
    const size_t updatesBefore = service.updateCount();
    ASSERT_EQ(install(L"/S"), 0u);
    DWORD code = ~0u;
    EXPECT_TRUE(first.waitForExit(0, &code) && code == 0) << "setup ends only after the program";
    ASSERT_TRUE(waitUntil([] { return runningProgram().first != nullptr; }, kStartLimitMs));
    main = runningProgram().first;
    EXPECT_TRUE(service.waitForUpdates(updatesBefore + 1, kReplyLimitMs));
    EXPECT_EQ(service.updates().back().credentials, "alice:s3cret");
    EXPECT_FALSE(IsWindowVisible(main)) << "started with /startup";
    EXPECT_EQ(itemText(main, 3011), L"alice");
    EXPECT_EQ(runningProgram().second, exe);
    EXPECT_FALSE(exists(planted + L".loaded")) << "the planted winhttp.dll was loaded";
    DeleteFileW(planted.c_str());
    EXPECT_TRUE(accountStored());
    EXPECT_EQ(readStoredState().ip, L"198.51.100.20");
    EXPECT_EQ(userString(kRunKey, kRunValueName), autostart);
    EXPECT_EQ(userString(kUninstallKey, L"InstallLocation"), folder);

    // The installed folder under other names, a trailing "\." and another
    // drive letter (Wine's Z: reaches the prefix's C: too): the same
    // reinstall, the installation whole, its names unchanged, the program
    // running and updating again.
    std::wstring prefix = environment(L"WINEPREFIX");
    std::replace(prefix.begin(), prefix.end(), L'/', L'\\');
    for (const std::wstring& name : {folder + L"\\.", L"Z:" + prefix + L"\\drive_c" + folder.substr(2)}) {
        const size_t before = service.updateCount();
        EXPECT_EQ(install(L"/S /D=" + name), 0u) << name;
        EXPECT_TRUE(exists(exe) && exists(folder + L"\\Uninstall.exe")) << name;
        EXPECT_EQ(userString(kUninstallKey, L"InstallLocation"), folder) << name;
        EXPECT_EQ(userString(kRunKey, kRunValueName), autostart) << name;
        EXPECT_TRUE(shortcutNames(shortcut, exe)) << name;
        EXPECT_EQ(runningProgram().second, exe) << name;
        EXPECT_TRUE(service.waitForUpdates(before + 1, kReplyLimitMs)) << name;
    }

    // An upgrade while another program holds Lumaroth.exe open without
    // delete sharing, as a virus scanner does: exit code 2, the installed
    // exe untouched, the program running and updating again. The same
    // upgrade once the file is free goes through.
    const ULONGLONG installed = fileIndex(exe);
    HANDLE scanner = CreateFileW(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
    size_t updates = service.updateCount();
    EXPECT_EQ(install(L"/S"), 2u);
    EXPECT_EQ(fileIndex(exe), installed);
    EXPECT_TRUE(exists(folder + L"\\Uninstall.exe"));
    EXPECT_FALSE(exists(folder + L"\\Lumaroth.new") || exists(folder + L"\\Lumaroth.old"));
    EXPECT_EQ(runningProgram().second, exe);
    EXPECT_TRUE(service.waitForUpdates(updates + 1, kReplyLimitMs));
    CloseHandle(scanner);
    EXPECT_EQ(install(L"/S"), 0u);
    EXPECT_NE(fileIndex(exe), installed);
    EXPECT_TRUE(fileBytes(exe) == fileBytes(built));
    EXPECT_EQ(runningProgram().second, exe);

    // The wizard over the running program: "Start Lumaroth now" on its
    // finish page shows the one program the upgrade started again hidden.
    STARTUPINFOW wizardStartup{};
    wizardStartup.cb = sizeof wizardStartup;
    PROCESS_INFORMATION wizardProcess{};
    std::wstring wizardCommand = L"\"" + environment(L"E2E_SETUP_EXE") + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, &wizardCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &wizardStartup,
                               &wizardProcess));
    HWND setupWizard = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (HWND dialog : topLevelWindows(L"#32770", true))
                if (windowText(dialog).rfind(L"Lumaroth Setup", 0) == 0)
                    setupWizard = dialog;
            return setupWizard != nullptr;
        },
        kStartLimitMs));
    postClick(setupWizard, IDOK);
    ASSERT_TRUE(waitUntil([&] { return itemText(setupWizard, IDOK) == L"&Finish"; }, kStartLimitMs));
    postClick(setupWizard, IDOK);
    EXPECT_EQ(WaitForSingleObject(wizardProcess.hProcess, kSetupLimitMs), WAIT_OBJECT_0);
    CloseHandle(wizardProcess.hThread);
    CloseHandle(wizardProcess.hProcess);
    EXPECT_TRUE(waitUntil([] { return IsWindowVisible(runningProgram().first); }, kStartLimitMs));
    EXPECT_EQ(topLevelWindows(L"LumarothMainWindow", false).size(), 1u);

    // A move into another (empty) folder while it runs: the old installation
    // is gone, Run value, shortcut and Apps entry follow, the program runs
    // again from there.
    const std::wstring moved = expand(L"%USERPROFILE%\\Apps\\Lumaroth");
    const std::wstring movedExe = moved + L"\\Lumaroth.exe";
    CreateDirectoryW(expand(L"%USERPROFILE%\\Apps").c_str(), nullptr);
    CreateDirectoryW(moved.c_str(), nullptr);
    ASSERT_EQ(install(L"/S /D=" + moved), 0u);
    EXPECT_FALSE(exists(folder));
    EXPECT_EQ(userString(kRunKey, kRunValueName), L"\"" + movedExe + L"\" /startup");
    EXPECT_EQ(userString(kUninstallKey, L"InstallLocation"), moved);
    EXPECT_TRUE(shortcutNames(shortcut, movedExe));
    EXPECT_TRUE(waitUntil([&] { return runningProgram().second == movedExe; }, kStartLimitMs));
    EXPECT_TRUE(accountStored());

    // An orphaned copy's uninstaller removes its own files and nothing of the
    // installation: its Apps entry, shortcut, state and running program.
    const std::wstring orphan = expand(L"%USERPROFILE%\\Old Lumaroth");
    CreateDirectoryW(orphan.c_str(), nullptr);
    for (const wchar_t* file : {L"\\Lumaroth.exe", L"\\Uninstall.exe"})
        ASSERT_TRUE(CopyFileW((moved + file).c_str(), (orphan + file).c_str(), FALSE));
    main = runningProgram().first;
    EXPECT_EQ(uninstallInPlace(orphan), 0u);
    EXPECT_FALSE(exists(orphan + L"\\Lumaroth.exe"));
    EXPECT_EQ(userString(kUninstallKey, L"InstallLocation"), moved);
    EXPECT_TRUE(exists(shortcut) && userKeyExists(kStateKey) && IsWindow(main));

    // A folder holding another program's files is refused before anything
    // is ended or written.
    const std::wstring foreign = expand(L"%USERPROFILE%\\Tools");
    CreateDirectoryW(foreign.c_str(), nullptr);
    std::ofstream((foreign + L"\\Uninstall.exe").c_str(), std::ios::binary) << "another program";
    EXPECT_EQ(install(L"/S /D=" + foreign), 2u);
    EXPECT_FALSE(exists(foreign + L"\\Lumaroth.exe"));
    EXPECT_EQ(fileBytes(foreign + L"\\Uninstall.exe"), "another program");
    EXPECT_EQ(userString(kUninstallKey, L"InstallLocation"), moved);
    EXPECT_TRUE(IsWindow(main));
    // So is one where a Lumaroth.exe lies among other files (the portable
    // copy unpacked into a folder of downloads), and one another user owns,
    // who could give itself the right to write there again (Wine shows a
    // folder of another Unix user as someone else's).
    const std::wstring unpacked = expand(L"%USERPROFILE%\\Unpacked");
    CreateDirectoryW(unpacked.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(movedExe.c_str(), (unpacked + L"\\Lumaroth.exe").c_str(), FALSE));
    std::ofstream((unpacked + L"\\notes.txt").c_str()) << "mine";
    const std::wstring othersFolder = environment(L"E2E_OTHER_USERS_FOLDER");
    for (const std::wstring& refused : {unpacked, othersFolder}) {
        EXPECT_EQ(install(L"/S /D=" + refused), 2u) << refused;
        EXPECT_FALSE(exists(refused + L"\\Uninstall.exe")) << refused;
    }
    EXPECT_EQ(userString(kUninstallKey, L"InstallLocation"), moved);
    EXPECT_TRUE(IsWindow(main));

    // An uninstall that cannot delete the program says so: a silent run
    // fails and keeps the Apps entry and the uninstaller for another try.
    HANDLE held = CreateFileW(movedExe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(uninstallInPlace(moved), 2u);
    EXPECT_TRUE(userKeyExists(kUninstallKey) && exists(moved + L"\\Uninstall.exe") && exists(shortcut));
    // Run by hand, past the account and confirmation pages, it names the file.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION byHand{};
    std::wstring command = L"\"" + moved + L"\\Uninstall.exe\" _?=" + moved;
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &byHand));
    HWND wizard = nullptr;
    ASSERT_TRUE(
        waitUntil([&] { return (wizard = FindWindowW(L"#32770", L"Lumaroth Uninstall")) && IsWindowVisible(wizard); },
                  kStartLimitMs));
    postClick(wizard, IDOK);
    ASSERT_TRUE(waitUntil([&] { return itemText(wizard, IDOK).find(L"Uninstall") != std::wstring::npos; }, kUiLimitMs));
    postClick(wizard, IDOK);
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = uninstallerMessageBox()) != nullptr; }, kUiLimitMs));
    EXPECT_EQ(messageBoxText(box),
              movedExe + L" could not be deleted. Close what uses it, then uninstall Lumaroth again.");
    EXPECT_TRUE(pressMessageBoxButton(box, IDOK, kUiLimitMs));
    EXPECT_EQ(WaitForSingleObject(byHand.hProcess, kSetupLimitMs), WAIT_OBJECT_0);
    GetExitCodeProcess(byHand.hProcess, &code);
    EXPECT_EQ(code, 2u);
    CloseHandle(byHand.hThread);
    CloseHandle(byHand.hProcess);
    CloseHandle(held);
    EXPECT_TRUE(userKeyExists(kUninstallKey));

    // Silent uninstall while it runs: everything but the account goes.
    SetEnvironmentVariableW(L"LUMAROTH_EXE", movedExe.c_str());
    LumarothProcess second;
    ASSERT_TRUE(startAndSettle(second, service));
    ASSERT_TRUE(uninstall(moved, L"/S"));
    EXPECT_TRUE(second.waitForExit(0, &code) && code == 0);
    EXPECT_FALSE(exists(moved) || exists(shortcut));
    EXPECT_FALSE(userValueExists(kRunKey, kRunValueName));
    EXPECT_FALSE(userKeyExists(kStateKey));
    EXPECT_TRUE(accountStored());

    // /D= a new folder outside the profile gets an access list of its own
    // (setup fails when it cannot set it), which on Windows reads back as
    // this user, SYSTEM and Administrators and nothing inherited from C:\:
    // Wine keeps no access list on files and reads back one made from the
    // Unix mode. /REMOVEACCOUNT takes the account too, and a Run value
    // naming another copy stays.
    const std::wstring other = L"C:\\Lumaroth";
    ASSERT_EQ(install(L"/S /D=" + other), 0u);
    EXPECT_TRUE(exists(other + L"\\Lumaroth.exe"));
    const std::wstring acl = folderAccessList(other);
    EXPECT_TRUE(acl.find(L";;;AU)") == std::wstring::npos && acl.find(L";;;BU)") == std::wstring::npos &&
                acl.find(L"ID;") == std::wstring::npos)
        << acl;
    writeUserString(kRunKey, kRunValueName, autostart);
    ASSERT_TRUE(uninstall(other, L"/S /REMOVEACCOUNT"));
    EXPECT_FALSE(exists(other));
    StoredCredential removed;
    EXPECT_FALSE(readAccountCredential(&removed));
    EXPECT_EQ(userString(kRunKey, kRunValueName), autostart);
}
