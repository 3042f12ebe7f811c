#include "store/credential_store.h"

#include <wincred.h>

#include <string>

#include "core/app_state.h"
#include "core/scoped_win.h"
#include "core/secure_wipe.h"
#include "core/system_error.h"
#include "core/text_encoding.h"
#include "store/account_blob.h"
#include "store/store_calls.h"

namespace {

const wchar_t kCredentialTarget[] = L"Vexlumen";
const wchar_t kCredentialComment[] = L"Lumaroth Dynamic DNS Client";

// The blob carries the update key: wipe each copy once it is no longer needed.
void wipeFields(AccountFields& fields)
{
    wipeBytes(fields.hostname);
    wipeBytes(fields.username);
    wipeBytes(fields.updateKey);
}

}  // namespace

void loadAccount()
{
    ScopedCredential credential;
    if (!CredReadW(kCredentialTarget, CRED_TYPE_GENERIC, 0, credential.put()))
        return;
    const DWORD size = credential.get()->CredentialBlobSize;
    if (size == 0)
        return;
    BYTE* const stored = credential.get()->CredentialBlob;
    std::string blob(reinterpret_cast<const char*>(stored), size);
    AccountFields fields;
    if (splitAccountBlob(blob, fields)) {
        appState.hostname = utf8ToWide(fields.hostname);
        appState.username = utf8ToWide(fields.username);
        appState.updateKey = utf8ToWide(fields.updateKey);
    }
    wipeFields(fields);
    wipeBytes(blob);
    SecureZeroMemory(stored, size);
}

DWORD saveAccount(const std::wstring& hostname, const std::wstring& username, const std::wstring& updateKey)
{
    AccountFields fields{wideToUtf8(hostname), wideToUtf8(username), wideToUtf8(updateKey)};
    std::string blob = joinAccountBlob(fields);
    wipeFields(fields);

    CREDENTIALW credential = {};
    credential.Flags = 0;
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = const_cast<wchar_t*>(kCredentialTarget);
    credential.Comment = const_cast<wchar_t*>(kCredentialComment);
    credential.CredentialBlobSize = static_cast<DWORD>(blob.size());
    credential.CredentialBlob = reinterpret_cast<BYTE*>(&blob[0]);
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    credential.AttributeCount = 0;
    credential.Attributes = nullptr;
    credential.TargetAlias = nullptr;
    credential.UserName = const_cast<wchar_t*>(username.c_str());
    const DWORD status = gStoreCalls.writeCredential(&credential, 0) ? ERROR_SUCCESS : lastErrorCode();
    wipeBytes(blob);
    return status;
}

DWORD deleteAccount()
{
    return gStoreCalls.deleteCredential(kCredentialTarget, CRED_TYPE_GENERIC, 0) ? ERROR_SUCCESS : lastErrorCode();
}
