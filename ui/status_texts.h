// What the status panel's fields and status line say for the current
// AppState. No window is touched; only the age of the last IP change reads
// the clock.
#pragma once

#include "core/app_state.h"

#include <string>

std::wstring usernameText();
std::wstring hostnameText();
std::wstring ipText();
std::wstring countdownText();  // the value when the panel is built

// The status line right after the panel is built: "Updated: " and the
// absolute time of the last update.
std::wstring initialStatusLineText();
// The status line after the update cycle changed state: "Recent IP Updates: "
// and the age of the last IP change, or the time of the last update.
std::wstring refreshedStatusLineText();
// The status line on a countdown tick; false when the line keeps its text.
bool tickedStatusLineText(std::wstring& text);

// The status line's colour (0x00BBGGRR) by the update cycle's state.
unsigned long statusLineColor(UpdateStatus status);
