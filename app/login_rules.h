// What the login panel's three fields must hold before an attempt is made.
// Pure: no <windows.h>.
#pragma once

#include <string>

// What loginInputProblem answers, shown in the "Login Error" box.
inline constexpr wchar_t kFieldsRequiredText[] = L"All fields are required.";
inline constexpr wchar_t kSeparatorInFieldText[] =
    L"The hostname and username cannot contain the character |.";
inline constexpr wchar_t kAccountTooLongText[] =
    L"The hostname, username and key are too long to be saved.";

// U+0020 trimmed from the end, then the start; then A-Z lowered.
std::wstring normalizeLoginField(const std::wstring& text);
// The reason a set of processed login values cannot be used, or empty when
// they can.
std::wstring loginInputProblem(const std::wstring& hostname, const std::wstring& username,
                               const std::wstring& updateKey);
