#include "store/credential_store.h"

#include "core/app_state.h"
#include "core/text_encoding.h"

#include <windows.h>
#include <wincred.h>

#include <string>

// The blob carries the update key: wipe each copy once it is no longer needed.
static void wipe(std::string& bytes)
{
    if (!bytes.empty())
        SecureZeroMemory(&bytes[0], bytes.size());
    bytes.clear();
}

void loadAccount()
{
    PCREDENTIALW credential = nullptr;
    if (!CredReadW(kCredentialTarget, CRED_TYPE_GENERIC, 0, &credential))
        return;
    if (credential->CredentialBlobSize > 0) {
        std::string blob(reinterpret_cast<const char*>(credential->CredentialBlob), credential->CredentialBlobSize);
        // No escaping: the host and user name end at the first two bars,
        // every later bar belongs to the update key.
        size_t first = blob.find('|');
        size_t second = std::string::npos;
        if (first != std::string::npos && first + 1 < blob.size())
            second = blob.find('|', first + 1);
        if (second != std::string::npos) {
            appState.hostname = utf8ToWide(blob.substr(0, first));
            appState.username = utf8ToWide(blob.substr(first + 1, second - first - 1));
            std::string key = blob.substr(second + 1);
            appState.updateKey = utf8ToWide(key);
            wipe(key);
        }
        wipe(blob);
        SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
    }
    CredFree(credential);
}

void saveAccount()
{
    std::string host = wideToUtf8(appState.hostname);
    std::string user = wideToUtf8(appState.username);
    std::string key = wideToUtf8(appState.updateKey);
    std::string blob;
    blob.reserve(host.size() + user.size() + key.size() + 2);
    blob.append(host).append(1, '|').append(user).append(1, '|').append(key);
    wipe(key);

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
    wipe(blob);
}

void deleteAccount()
{
    CredDeleteW(kCredentialTarget, CRED_TYPE_GENERIC, 0);
}
