// The store tests' raw registry access is the tests' one registry and
// credential helper.
#pragma once

#include "tests/common/registry.h"

#include <cwchar>
