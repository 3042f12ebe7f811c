// The program's icon group, for window classes and the tray.
#pragma once

#include <windows.h>

// The program icon at size x size pixels, kept for the whole run (the system's
// IDI_APPLICATION if it is missing).
HICON loadProgramIcon(HINSTANCE instance, int size);
