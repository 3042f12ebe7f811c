// The account (host name, user name, update key) as one generic credential
// in the user's credential manager.
#pragma once

#include "store/account_blob.h"

inline constexpr wchar_t kCredentialTarget[] = L"Vexlumen";
inline constexpr wchar_t kCredentialComment[] = L"Lumaroth Dynamic DNS Client";

void loadAccount();
void saveAccount();
void deleteAccount();
