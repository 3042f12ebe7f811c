// The credential store against the prefix's real credential manager. Each
// case starts and ends without the "Vexlumen" credential.
#include "store/credential_store.h"

#include "core/app_state.h"

#include <windows.h>
#include <wincred.h>

#include <gtest/gtest.h>

#include "core/scoped_win.h"
#include "store/store_calls.h"
#include "tests/common/external_names.h"
#include "tests/common/registry.h"

#include <string>

namespace {

bool writeRawBlob(const std::string& blob)
{
    return writeAccountBlob(blob);
}

void setAccount(const std::wstring& host, const std::wstring& user, const std::wstring& key)
{
    appState.hostname = host;
    appState.username = user;
    appState.updateKey = key;
}

void expectAccount(const std::wstring& host, const std::wstring& user, const std::wstring& key)
{
    EXPECT_EQ(host, appState.hostname);
    EXPECT_EQ(user, appState.username);
    EXPECT_EQ(key, appState.updateKey);
}

BOOL WINAPI refuseWrite(PCREDENTIALW, DWORD)
{
    SetLastError(ERROR_NO_SUCH_LOGON_SESSION);
    return FALSE;
}

BOOL WINAPI refuseDelete(LPCWSTR, DWORD, DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// A failure that sets no error code at all.
BOOL WINAPI refuseWriteSilently(PCREDENTIALW, DWORD)
{
    SetLastError(ERROR_SUCCESS);
    return FALSE;
}

class CredentialStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        CredDeleteW(kCredentialTarget, CRED_TYPE_GENERIC, 0);
        appState = AppState();
    }
    void TearDown() override
    {
        gStoreCalls.writeCredential = CredWriteW;
        gStoreCalls.deleteCredential = CredDeleteW;
        CredDeleteW(kCredentialTarget, CRED_TYPE_GENERIC, 0);
        appState = AppState();
    }
};

TEST_F(CredentialStore, LoadsBlobLayouts)
{
    // The fields hold a previous account before each load, so that "left as
    // they were" and "assigned empty" can be told apart.
    struct Case {
        std::string blob;
        bool assigned;
        std::wstring host;
        std::wstring user;
        std::wstring key;
    } cases[] = {
        {"host|user|key", true, L"host", L"user", L"key"},
        {"host|user|k|e|y", true, L"host", L"user", L"k|e|y"},
        {"host|user|", true, L"host", L"user", L""},
        {"host||key", true, L"host", L"", L"key"},
        {"|user|key", true, L"", L"user", L"key"},
        {"||", true, L"", L"", L""},
        {"|||", true, L"", L"", L"|"},
        {"host|user", false, L"", L"", L""},
        {"host|", false, L"", L"", L""},
        {"|", false, L"", L"", L""},
        {"hostuserkey", false, L"", L"", L""},
        {"", false, L"", L"", L""},
        // The blob is taken at its stored size, not up to a NUL.
        {std::string("h\0st|us\0r|k\0y", 13), true, std::wstring(L"h\0st", 4), std::wstring(L"us\0r", 4),
         std::wstring(L"k\0y", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("blob: " + c.blob);
        ASSERT_TRUE(writeRawBlob(c.blob));
        setAccount(L"old-host", L"old-user", L"old-key");
        loadAccount();
        if (c.assigned) {
            expectAccount(c.host, c.user, c.key);
            EXPECT_EQ(!c.host.empty() && !c.user.empty() && !c.key.empty(), isSignedIn());
        } else {
            expectAccount(L"old-host", L"old-user", L"old-key");
        }
    }
}

TEST_F(CredentialStore, NonAsciiAccountRoundTrips)
{
    const std::wstring host = L"m\u00fcnchen.vexlumen.net";
    const std::wstring user = L"Jos\u00e9 \u00d1\u00fa\u00f1ez";
    const std::wstring key = L"\u043a\u043b\u044e\u0447|\u20ac\U0001D11E";
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), saveAccount(L"first", L"first", L"first"));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), saveAccount(host, user, key));

    ScopedCredential stored;
    ASSERT_TRUE(CredReadW(kCredentialTarget, CRED_TYPE_GENERIC, 0, stored.put()));
    std::string blob(reinterpret_cast<const char*>(stored.get()->CredentialBlob), stored.get()->CredentialBlobSize);
    EXPECT_EQ("m\xc3\xbc"
              "nchen.vexlumen.net|Jos\xc3\xa9 \xc3\x91\xc3\xba\xc3\xb1"
              "ez|"
              "\xd0\xba\xd0\xbb\xd1\x8e\xd1\x87|\xe2\x82\xac\xf0\x9d\x84\x9e",
              blob);

    appState = AppState();
    loadAccount();
    expectAccount(host, user, key);
}

TEST_F(CredentialStore, StoredCredentialCarriesTheAccountFields)
{
    // What is stored comes from the arguments, not from memory.
    setAccount(L"other.vexlumen.net", L"bob", L"in-memory");
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), saveAccount(L"home.vexlumen.net", L"alice", L"s3cret"));
    expectAccount(L"other.vexlumen.net", L"bob", L"in-memory");

    ScopedCredential owner;
    ASSERT_TRUE(CredReadW(kCredentialTarget, CRED_TYPE_GENERIC, 0, owner.put()));
    const CREDENTIALW* stored = owner.get();
    EXPECT_EQ(static_cast<DWORD>(CRED_TYPE_GENERIC), stored->Type);
    EXPECT_EQ(static_cast<DWORD>(CRED_PERSIST_LOCAL_MACHINE), stored->Persist);
    EXPECT_EQ(std::wstring(kCredentialTarget), stored->TargetName);
    ASSERT_NE(nullptr, stored->Comment);
    EXPECT_EQ(std::wstring(kCredentialComment), stored->Comment);
    ASSERT_NE(nullptr, stored->UserName);
    EXPECT_EQ(std::wstring(L"alice"), stored->UserName);
    EXPECT_EQ(0u, stored->AttributeCount);
    EXPECT_EQ("home.vexlumen.net|alice|s3cret",
              std::string(reinterpret_cast<const char*>(stored->CredentialBlob), stored->CredentialBlobSize));
}

TEST_F(CredentialStore, DeleteThenLoadFindsNothing)
{
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), saveAccount(L"home.vexlumen.net", L"alice", L"s3cret"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), deleteAccount());

    ScopedCredential stored;
    EXPECT_FALSE(CredReadW(kCredentialTarget, CRED_TYPE_GENERIC, 0, stored.put()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_FOUND), GetLastError());

    appState = AppState();
    loadAccount();
    expectAccount(L"", L"", L"");
    EXPECT_FALSE(isSignedIn());

    // Deleting what is not there says so and leaves memory alone.
    setAccount(L"home.vexlumen.net", L"alice", L"s3cret");
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_FOUND), deleteAccount());
    expectAccount(L"home.vexlumen.net", L"alice", L"s3cret");
}

// Each refusal comes back as an error code, and the account stored before
// stays as it was.
TEST_F(CredentialStore, RefusedWritesAndDeletesAreReported)
{
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), saveAccount(L"home.vexlumen.net", L"alice", L"s3cret"));
    struct Case {
        const char* name;
        CredentialWriter writer;
        DWORD expected;
    };
    const Case cases[] = {
        {"refused", refuseWrite, ERROR_NO_SUCH_LOGON_SESSION},
        {"refused-without-a-code", refuseWriteSilently, ERROR_GEN_FAILURE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gStoreCalls.writeCredential = c.writer;
        EXPECT_EQ(c.expected, saveAccount(L"h", L"user", L"new-key"));
        appState = AppState();
        loadAccount();
        expectAccount(L"home.vexlumen.net", L"alice", L"s3cret");
    }

    gStoreCalls.deleteCredential = refuseDelete;
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), deleteAccount());
    appState = AppState();
    loadAccount();
    expectAccount(L"home.vexlumen.net", L"alice", L"s3cret");
}

TEST_F(CredentialStore, FailedReadLeavesFieldsUnchanged)
{
    setAccount(L"typed-host", L"typed-user", L"typed-key");
    loadAccount();
    expectAccount(L"typed-host", L"typed-user", L"typed-key");
}

}  // namespace
