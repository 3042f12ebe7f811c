// Overwrites a buffer that held the update key before it is let go, so that
// the key does not linger in freed heap memory.
#pragma once

#include <string>

// Zero the characters, then empty the string.
void wipeBytes(std::string& bytes);
void wipeText(std::wstring& text);
