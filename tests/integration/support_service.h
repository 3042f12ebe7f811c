// The integration tests reach the run's update service through the tests'
// one client.
#pragma once

#include "tests/common/service_client.h"
