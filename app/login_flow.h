// The account flows of the main window: login, its result, logout.
#pragma once

#include <memory>

#include "app/workers.h"
#include "update/update_types.h"

void submitLogin();
// The login worker's answer, or a missing result (either may be null): the
// attempt then ends as "network_error".
void applyLoginResult(std::unique_ptr<LoginRequest> request, std::unique_ptr<UpdateResult> result);
// At IDT_LOGIN_DEADLINE: an attempt still in flight fails as "network_error".
void endOverdueLogin();
void logout();
