// The last confirmed IP and its two times, kept as REG_SZ values under
// HKCU\Software\Lumaroth and mirrored in appState.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

std::wstring readStateValue(const wchar_t* name);
void writeStateValue(const wchar_t* name, const std::wstring& text);
std::optional<SYSTEMTIME> parseStateTime(const std::wstring& text);

void loadState();
void saveUpdateState(const std::wstring& ip, bool ipChanged);
void deleteStateValues();
