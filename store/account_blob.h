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

// The credential manager keeps no larger blob.
inline constexpr unsigned long kMaxCredentialBlobBytes = 2560;   // CRED_MAX_CREDENTIAL_BLOB_SIZE

std::string joinAccountBlob(const AccountFields& fields);
// False, leaving fields untouched, when the blob lacks two separators.
bool splitAccountBlob(const std::string& blob, AccountFields& fields);
