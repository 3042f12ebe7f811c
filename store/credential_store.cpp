#include "store/credential_store.h"

#include "core/app_state.h"
#include "core/secure_wipe.h"
#include "core/text_encoding.h"
#include "store/account_blob.h"

#include <windows.h>
#include <wincred.h>

#include <string>

// The blob carries the update key: wipe each copy once it is no longer needed.
static void wipeFields(AccountFields& fields)
{
    wipeBytes(fields.hostname);
    wipeBytes(fields.username);
    wipeBytes(fields.updateKey);
}

void loadAccount()
{
    PCREDENTIALW credential = nullptr;
    if (!CredReadW(kCredentialTarget, CRED_TYPE_GENERIC, 0, &credential))
        return;
    if (credential->CredentialBlobSize > 0) {
        std::string blob(reinterpret_cast<const char*>(credential->CredentialBlob), credential->CredentialBlobSize);
        AccountFields fields;
        if (splitAccountBlob(blob, fields)) {
            appState.hostname = utf8ToWide(fields.hostname);
            appState.username = utf8ToWide(fields.username);
            appState.updateKey = utf8ToWide(fields.updateKey);
        }
        wipeFields(fields);
        wipeBytes(blob);
        SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
    }
    CredFree(credential);
}

void saveAccount()
{
    AccountFields fields{wideToUtf8(appState.hostname), wideToUtf8(appState.username),
                         wideToUtf8(appState.updateKey)};
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
    credential.UserName = const_cast<wchar_t*>(appState.username.c_str());
    CredWriteW(&credential, 0);
    wipeBytes(blob);
}

void deleteAccount()
{
    CredDeleteW(kCredentialTarget, CRED_TYPE_GENERIC, 0);
}
