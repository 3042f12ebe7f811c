// The account (host name, user name, update key) as one generic credential
// in the user's credential manager.
#pragma once

inline constexpr wchar_t kCredentialTarget[] = L"Vexlumen";
inline constexpr wchar_t kCredentialComment[] = L"Lumaroth Dynamic DNS Client";
inline constexpr unsigned long kMaxCredentialBlobBytes = 2560;   // CRED_MAX_CREDENTIAL_BLOB_SIZE

void loadAccount();
void saveAccount();
void deleteAccount();
