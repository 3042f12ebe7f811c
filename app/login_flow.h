// The account flows of the main window: login, its result, logout.
#pragma once

#include <string>

#include "app/workers.h"
#include "update/update_types.h"

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
