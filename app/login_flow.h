// The account flows of the main window: login, its result, logout.
#pragma once

#include <string>

#include "app/login_rules.h"
#include "app/workers.h"
#include "update/update_types.h"

void submitLogin();
// Frees both records (either may be null).
void applyLoginResult(LoginRequest* request, UpdateResult* result);
void logout();
