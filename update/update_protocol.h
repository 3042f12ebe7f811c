// The update request and the connectivity check against the update server.
#pragma once

#include <string>

#include "update/update_types.h"

// The update server and the fixed parts of its two requests.
inline constexpr wchar_t kUpdateServerHost[] = L"dynupdate.vexlumen.net";
inline constexpr wchar_t kUpdatePathPrefix[] = L"/?hostname=";
inline constexpr wchar_t kConnectivityPath[] = L"/dyndns/getip";
inline constexpr wchar_t kAuthorizationPrefix[] = L"Authorization: Basic ";

struct UpdateRequestParts {
    std::wstring path;      // "/?hostname=" + host name, unescaped
    std::wstring header;    // "Authorization: Basic " + base64(user ":" key)
};

UpdateRequestParts buildUpdateRequest(const std::wstring& hostname, const std::wstring& username,
                                      const std::wstring& updateKey);
std::string base64Encode(const std::string& bytes);

// Both block for the whole exchange; call them on a worker thread.
UpdateResult performUpdate(const std::wstring& hostname, const std::wstring& username,
                           const std::wstring& updateKey);
bool checkConnectivity();
