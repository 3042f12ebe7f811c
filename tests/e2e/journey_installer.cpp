// The setup exe as a user meets it: install, the installed program signed in,
// a reinstall over the running program, and uninstalling with and without
// the saved account.
#include "res/version.h"
#include "tests/e2e/e2e_store.h"
#include "tests/e2e/e2e_wait.h"
#include "tests/e2e/journeys.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumaroth";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr DWORD kSetupLimitMs = 60000;

std::wstring expand(const wchar_t* text)
{
    wchar_t buffer[MAX_PATH] = {};
    ExpandEnvironmentStringsW(text, buffer, MAX_PATH);
    return buffer;
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
    wchar_t setup[MAX_PATH] = {};
    GetEnvironmentVariableW(L"E2E_SETUP_EXE", setup, MAX_PATH);
    return run(L"\"" + std::wstring(setup) + L"\" " + options);
}

// The uninstaller hands over to a copy of itself in %TEMP% and returns at
// once; that copy removes the Apps & Features entry last.
bool uninstall(const std::wstring& folder, const std::wstring& options)
{
    return run(L"\"" + folder + L"\\Uninstall.exe\" " + options) == 0 &&
           waitUntil([] { return !userKeyExists(kUninstallKey); }, kSetupLimitMs);
}

bool accountStored()
{
    StoredCredential credential;
    return readAccountCredential(&credential) && credential.blob == "home.example.net|alice|s3cret";
}

} // namespace

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

    // The installed program signs in with the stored account; "Enable now".
    SetEnvironmentVariableW(L"LUMAROTH_EXE", exe.c_str());
    LumarothProcess first;
    HWND main = startAndSettle(first, service);
    ASSERT_TRUE(main);
    HWND banner = FindWindowExW(main, nullptr, L"LumarothAlert", nullptr);
    ASSERT_TRUE(banner);
    PostMessageW(GetDlgItem(banner, 7002), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return userString(kRunKey, L"Lumaroth") == autostart; }, kUiLimitMs));

    // The same version over the running program: closed, replaced, account,
    // state and autostart kept.
    ASSERT_EQ(install(L"/S"), 0u);
    DWORD code = ~0u;
    EXPECT_TRUE(first.waitForExit(0, &code) && code == 0) << "setup ends only after the program";
    EXPECT_TRUE(accountStored());
    EXPECT_EQ(readStoredState().ip, L"198.51.100.20");
    EXPECT_EQ(userString(kRunKey, L"Lumaroth"), autostart);
    EXPECT_EQ(userString(kUninstallKey, L"InstallLocation"), folder);
    LumarothProcess second;
    main = startAndSettle(second, service);
    ASSERT_TRUE(main);
    EXPECT_EQ(itemText(main, 3011), L"alice");
    EXPECT_EQ(service.updates().back().credentials, "alice:s3cret");

    // Silent uninstall while it runs: everything but the account goes.
    ASSERT_TRUE(uninstall(folder, L"/S"));
    EXPECT_TRUE(second.waitForExit(0, &code) && code == 0);
    EXPECT_FALSE(exists(folder) || exists(shortcut));
    EXPECT_FALSE(userValueExists(kRunKey, L"Lumaroth"));
    EXPECT_FALSE(userKeyExists(L"Software\\Lumaroth"));
    EXPECT_TRUE(accountStored());

    // /D= another folder; /REMOVEACCOUNT takes the account too, and a Run
    // value naming another copy stays.
    const std::wstring other = expand(L"%USERPROFILE%\\Apps\\Lumaroth");
    ASSERT_EQ(install(L"/S /D=" + other), 0u);
    EXPECT_TRUE(exists(other + L"\\Lumaroth.exe"));
    writeUserString(kRunKey, L"Lumaroth", autostart);
    ASSERT_TRUE(uninstall(other, L"/S /REMOVEACCOUNT"));
    EXPECT_FALSE(exists(other));
    StoredCredential removed;
    EXPECT_FALSE(readAccountCredential(&removed));
    EXPECT_EQ(userString(kRunKey, L"Lumaroth"), autostart);
}
