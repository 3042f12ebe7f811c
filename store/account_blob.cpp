#include "store/account_blob.h"

namespace {

const char kSeparator = '|';
// CRED_MAX_CREDENTIAL_BLOB_SIZE, which a pure file cannot take from <wincred.h>.
const size_t kMaxCredentialBlobBytes = 2560;

}  // namespace

std::string joinAccountBlob(const AccountFields& fields)
{
    std::string blob;
    blob.reserve(fields.hostname.size() + fields.username.size() + fields.updateKey.size() + 2);
    blob.append(fields.hostname).append(1, kSeparator).append(fields.username).append(1, kSeparator);
    blob.append(fields.updateKey);
    return blob;
}

bool accountBlobFits(size_t blobBytes)
{
    return blobBytes <= kMaxCredentialBlobBytes;
}

bool splitAccountBlob(const std::string& blob, AccountFields& fields)
{
    // No escaping: the host and user name end at the first two bars, every
    // later bar belongs to the update key.
    const size_t first = blob.find(kSeparator);
    if (first == std::string::npos || first + 1 >= blob.size())
        return false;
    const size_t second = blob.find(kSeparator, first + 1);
    if (second == std::string::npos)
        return false;
    fields.hostname.assign(blob, 0, first);
    fields.username.assign(blob, first + 1, second - first - 1);
    fields.updateKey.assign(blob, second + 1, std::string::npos);
    return true;
}
