// The system's own words for a Win32 error code, for the boxes that tell the
// user why something could not be stored.
#pragma once

#include <windows.h>

#include <string>

// GetLastError after a call that failed; a failure that set no code still
// reads as one (ERROR_GEN_FAILURE), never as ERROR_SUCCESS.
DWORD lastErrorCode();
// The message text of code, without its trailing line break; "Error N." when
// the system has no text for it.
std::wstring systemErrorText(DWORD code);
// text, an empty line, then the system's reason.
std::wstring withSystemReason(const wchar_t* text, DWORD code);
