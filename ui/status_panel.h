// The status panel: account, address, countdown and status line, with the
// autostart banner while autostart is off.
#pragma once

#include <windows.h>

void showStatusPanel(HWND window);
