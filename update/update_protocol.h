// The update request and the connectivity check against the update server.
#pragma once

#include <string>

#include "update/update_types.h"

struct UpdateRequestParts {
    std::wstring path;    // "/?hostname=" + host name, unescaped
    std::wstring header;  // "Authorization: Basic " + base64(user ":" key)
};

UpdateRequestParts buildUpdateRequest(const std::wstring& hostname, const std::wstring& username,
                                      const std::wstring& updateKey);
std::string base64Encode(const std::string& bytes);

// Both block for the whole exchange; call them on a worker thread.
UpdateResult performUpdate(const std::wstring& hostname, const std::wstring& username, const std::wstring& updateKey);
bool checkConnectivity();
