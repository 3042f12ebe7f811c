// The account flows of the main window: login, its result, logout.
#pragma once

#include <string>

#include "app/login_rules.h"
#include "app/workers.h"
#include "update/update_types.h"

// Texts of the login and logout message boxes. The two that say the
// credential manager refused are followed by the system's reason.
inline constexpr wchar_t kLoginErrorCaption[] = L"Login Error";
inline constexpr wchar_t kAccountNotSavedText[] =
    L"Your account could not be saved in the Windows Credential Manager.";
inline constexpr wchar_t kLogoutCaption[] = L"Confirm Logout";
inline constexpr wchar_t kLogoutQuestion[] =
    L"Are you sure you want to log out?\n\nAll saved hostname and account information will be deleted.";
inline constexpr wchar_t kLogoutErrorCaption[] = L"Logout Error";
inline constexpr wchar_t kAccountNotDeletedText[] =
    L"Your account could not be removed from the Windows Credential Manager, so you are still logged in.";

void submitLogin();
// Frees both records (either may be null).
void applyLoginResult(LoginRequest* request, UpdateResult* result);
// At IDT_LOGIN_DEADLINE: an attempt still in flight fails as "network_error".
void endOverdueLogin();
void logout();
