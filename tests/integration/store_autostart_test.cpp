// Autostart registration against the prefix's real Run key. Each case removes
// every value, state value and credential it may have made.
#include "store/autostart.h"

#include "core/app_state.h"
#include "core/scoped_win.h"
#include "store/credential_store.h"
#include "store/state_store.h"
#include "store/store_calls.h"
#include "store_test_registry.h"

#include <windows.h>
#include <wincred.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// Another program's registration, which disabling must leave alone.
const wchar_t kNeighbour[] = L"Lumaroth Neighbour";

std::wstring ownDirectory()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, length);
    return text.substr(0, text.find_last_of(L'\\'));
}

// Every value of the Run key, so that a case can tell that nothing changed.
std::map<std::wstring, RawValue> runKeySnapshot()
{
    std::map<std::wstring, RawValue> values;
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        if (RegEnumValueW(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::optional<RawValue> value = getRawValue(kRunKey, name);
        if (value)
            values[std::wstring(name, nameLength)] = *value;
    }
    return values;
}

// Copies the probe program to `directory\name`, runs it there and returns its
// exit code (0: enabled afterwards), or -1 when it could not be run. The copy
// and the directory are removed again.
int runProbeFrom(const std::wstring& directory, const std::wstring& name)
{
    const std::wstring target = directory + L"\\" + name;
    CreateDirectoryW(directory.c_str(), nullptr);
    if (!CopyFileW((ownDirectory() + L"\\autostart_probe.exe").c_str(), target.c_str(), FALSE))
        return -1;
    std::wstring commandLine = L"\"" + target + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    int result = -1;
    if (CreateProcessW(target.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        const ScopedHandle thread(process.hThread);
        const ScopedHandle owner(process.hProcess);
        DWORD code = 0;
        if (WaitForSingleObject(owner.get(), 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(owner.get(), &code))
            result = static_cast<int>(code);
    }
    DeleteFileW(target.c_str());
    RemoveDirectoryW(directory.c_str());
    return result;
}

LSTATUS APIENTRY refuseValueWrite(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD)
{
    return ERROR_ACCESS_DENIED;
}

class Autostart : public ::testing::Test {
protected:
    void TearDown() override
    {
        gStoreCalls.writeRunValue = RegSetValueExW;
        deleteRawValue(kRunKey, kRunValueName);
        deleteRawValue(kRunKey, kNeighbour);
        RegDeleteKeyW(HKEY_CURRENT_USER, kStateKey);
        CredDeleteW(kCredentialTarget, CRED_TYPE_GENERIC, 0);
        appState = AppState();
    }
};

TEST_F(Autostart, AbsentOnAFreshPrefix)
{
    ASSERT_FALSE(getRawValue(kRunKey, kRunValueName)) << "an earlier test left the Run value behind";
    EXPECT_FALSE(isAutostartEnabled());
}

TEST_F(Autostart, EnableWritesTheQuotedCommandLineOfTheRunningProgram)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring spaced = L"C:\\Program Files\\Lumaroth Test";
    struct Case {
        const char* label;
        std::wstring exePath;  // empty: enable from this test program itself
        bool runKeyDeleted = false;
    } cases[] = {
        {"this test program", L""},
        {"a copy in a path with spaces", spaced + L"\\Lumaroth Probe.exe"},
        {"the Run key itself missing", L"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        deleteRawValue(kRunKey, kRunValueName);
        if (c.runKeyDeleted)
            ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, kRunKey));
        std::wstring expected;
        if (c.exePath.empty()) {
            EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(true));
            expected = L"\"" + std::wstring(self) + L"\" /startup";
        } else {
            ASSERT_EQ(0, runProbeFrom(spaced, L"Lumaroth Probe.exe"));
            expected = L"\"" + c.exePath + L"\" /startup";
        }
        std::optional<RawValue> value = getRawValue(kRunKey, kRunValueName);
        ASSERT_TRUE(value);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value->type);
        EXPECT_EQ(bytesOf(expected), value->data);
        EXPECT_EQ(expected.size() * 2 + 2, value->data.size());
        EXPECT_TRUE(isAutostartEnabled());
    }
}

TEST_F(Autostart, RefusedWriteIsReportedAndChangesNothing)
{
    ASSERT_TRUE(putRawValue(kRunKey, kNeighbour, REG_SZ, bytesOf(L"neighbour.exe")));
    const std::map<std::wstring, RawValue> before = runKeySnapshot();
    gStoreCalls.writeRunValue = refuseValueWrite;
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), setAutostart(true));
    EXPECT_TRUE(runKeySnapshot() == before);
    EXPECT_FALSE(isAutostartEnabled());
}

TEST_F(Autostart, AnyValueOfThatNameCountsAsEnabled)
{
    const RawValueCase cases[] = {
        {"a stale path", REG_SZ, bytesOf(L"\"C:\\Moved Away\\Lumaroth.exe\" /startup")},
        {"REG_SZ with no data", REG_SZ, std::vector<BYTE>()},
        {"REG_SZ with the NUL alone", REG_SZ, std::vector<BYTE>{0, 0}},
        {"REG_DWORD", REG_DWORD, bytesOf(DWORD(1))},
        {"REG_BINARY with no data", REG_BINARY, std::vector<BYTE>()},
    };
    for (const RawValueCase& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(putRawValue(kRunKey, kRunValueName, c.type, c.data));
        EXPECT_TRUE(isAutostartEnabled());
    }
}

TEST_F(Autostart, DisableRemovesOnlyItsOwnValue)
{
    ASSERT_TRUE(putRawValue(kRunKey, kNeighbour, REG_SZ, bytesOf(L"neighbour.exe")));
    const std::map<std::wstring, RawValue> before = runKeySnapshot();

    // Nothing to remove is no failure.
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(false));
    EXPECT_TRUE(runKeySnapshot() == before);
    EXPECT_FALSE(isAutostartEnabled());

    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(true));
    ASSERT_TRUE(isAutostartEnabled());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(false));
    EXPECT_FALSE(isAutostartEnabled());
    EXPECT_TRUE(runKeySnapshot() == before);
}

TEST_F(Autostart, LogoutLeavesTheRunValue)
{
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), setAutostart(true));
    const std::optional<RawValue> registered = getRawValue(kRunKey, kRunValueName);
    ASSERT_TRUE(registered);
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), saveAccount(L"home.vexlumen.net", L"alice", L"s3cret"));
    saveUpdateState(L"203.0.113.7", true);

    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), deleteAccount());
    deleteStateValues();
    EXPECT_FALSE(getRawValue(kStateKey, kValueLastIp));

    std::optional<RawValue> after = getRawValue(kRunKey, kRunValueName);
    ASSERT_TRUE(after);
    EXPECT_TRUE(*after == *registered);
    EXPECT_TRUE(isAutostartEnabled());
}

}  // namespace
