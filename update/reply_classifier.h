// Turning the server's reply into an UpdateResult. Pure: no <windows.h>.
#pragma once

#include "update/update_types.h"

UpdateResult classifyReply(const HttpResponse& response);
