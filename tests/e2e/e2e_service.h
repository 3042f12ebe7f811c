// The journeys reach their update service through the tests' one client.
#pragma once

#include "tests/common/service_client.h"
