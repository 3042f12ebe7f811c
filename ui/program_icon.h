// The program's icon group, for window classes, the tray and the About window.
#pragma once

#include <windows.h>

#include "core/scoped_win.h"

// The program icon at size x size pixels, owned by the caller; empty when the
// resource is missing or cannot be loaded.
ScopedIcon loadProgramIcon(HINSTANCE instance, int size);
// The icon an owner holds, or the system's IDI_APPLICATION where it holds
// none: that one is shared, and nobody destroys it.
HICON ownedOrSharedFallback(const ScopedIcon& icon);
