// The account flows of the main window: login, its result, logout.
#pragma once

#include <string>

#include "app/workers.h"
#include "update/update_types.h"

// Texts of the login and logout message boxes.
inline constexpr wchar_t kLoginErrorCaption[] = L"Login Error";
inline constexpr wchar_t kFieldsRequiredText[] = L"All fields are required.";
inline constexpr wchar_t kSeparatorInFieldText[] =
    L"The hostname and username cannot contain the character |.";
inline constexpr wchar_t kAccountTooLongText[] =
    L"The hostname, username and key are too long to be saved.";
inline constexpr wchar_t kLogoutCaption[] = L"Confirm Logout";
inline constexpr wchar_t kLogoutQuestion[] =
    L"Are you sure you want to log out?\n\nAll saved hostname and account information will be deleted.";
// The login dialog reads at most this many UTF-16 units per field, NUL included.
inline constexpr int kLoginFieldBufferChars = 512;

void submitLogin();
// Frees both records (either may be null).
void applyLoginResult(LoginRequest* request, UpdateResult* result);
void logout();

// U+0020 trimmed from the end, then the start; then A-Z lowered.
std::wstring normalizeLoginField(const std::wstring& text);
// The reason a set of processed login values cannot be used, or empty when
// they can.
std::wstring loginInputProblem(const std::wstring& hostname, const std::wstring& username,
                               const std::wstring& updateKey);
