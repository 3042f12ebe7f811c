// The stored account as one byte string: host name, user name and update key
// in UTF-8, joined by "|", with no length prefix, terminator or escaping.
// Pure: no <windows.h>.
#pragma once

#include <string>

struct AccountFields {
    std::string hostname;
    std::string username;
    std::string updateKey;
};

std::string joinAccountBlob(const AccountFields& fields);
// Whether the credential manager keeps a blob of this many bytes.
bool accountBlobFits(size_t blobBytes);
// False, leaving fields untouched, when the blob lacks two separators.
[[nodiscard]] bool splitAccountBlob(const std::string& blob, AccountFields& fields);
