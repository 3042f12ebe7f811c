// One instance per logon session: a named mutex owned by the GUI thread of
// the instance that runs.
#pragma once

#include "core/scoped_win.h"

inline constexpr wchar_t kSingleInstanceMutex[] = L"Lumaroth_SingleInstance_Mutex";

// False when another instance owns the mutex (nothing is kept then);
// otherwise mutex holds this instance's, if it could be made at all: a
// process that cannot make it runs as if it were the only one.
[[nodiscard]] bool takeSingleInstance(ScopedHandle* mutex);
// Gives up this thread's ownership, so that a new instance can start at once
// while this one is still ending.
void releaseSingleInstance();
