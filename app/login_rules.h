// What the login panel's three fields must hold before an attempt is made.
// Pure: no <windows.h>.
#pragma once

#include <string>

// U+0020 trimmed from the end, then the start; then A-Z lowered.
std::wstring normalizeLoginField(const std::wstring& text);
// The reason a set of processed login values cannot be used, or empty when
// they can: a text of the "Login Error" box.
std::wstring loginInputProblem(const std::wstring& hostname, const std::wstring& username,
                               const std::wstring& updateKey);
