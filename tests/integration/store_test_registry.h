// The store tests' raw registry access is the tests' one registry and
// credential helper, by the names the program is designed to use.
#pragma once

#include "tests/common/external_names.h"
#include "tests/common/registry.h"

#include <cwchar>
