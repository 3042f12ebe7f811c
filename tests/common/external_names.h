// The names the program shares with the world outside it, as designed: where
// it keeps its data in the registry and the credential manager, and the
// server it talks to. Tests read, seed and reach those places by these names,
// never by the program's own copies: a test that took a name from the code
// under test would pass whatever name the code used.
#pragma once

// HKEY_CURRENT_USER\Software\Lumaroth and its three values.
inline constexpr wchar_t kStateKey[] = L"Software\\Lumaroth";
inline constexpr wchar_t kValueLastIp[] = L"ddns_last_ip";
inline constexpr wchar_t kValueLastTime[] = L"ddns_last_time";
inline constexpr wchar_t kValueIpChangeTime[] = L"ddns_ip_change_time";

// The start with the session: one value under the current user's Run key.
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Lumaroth";

// The account: one generic credential.
inline constexpr wchar_t kCredentialTarget[] = L"Vexlumen";
inline constexpr wchar_t kCredentialComment[] = L"Lumaroth Dynamic DNS Client";

// The update server, as the requests name it.
inline constexpr wchar_t kUpdateServerHost[] = L"dynupdate.vexlumen.net";
inline constexpr char kUserAgent[] = "Lumaroth-Client/2.0.1 Windows";
