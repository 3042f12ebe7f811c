#include "update/result_messages.h"

#include <cstring>

#include "core/text_encoding.h"
#include "update/update_types.h"

namespace {

struct ResultMessage {
    const char* code;
    const wchar_t* message;
};

// Compared in this order, whole codes, case-sensitive: the reply word was
// lower-cased already, and "badauth2" is not "badauth".
// clang-format off
const ResultMessage kResultMessages[] = {
    {"badauth", L"Invalid username or key (badauth)"},
    {"nohost", L"Hostname not found (nohost)"},
    {"notfqdn", L"Invalid hostname format (notfqdn)"},
    {"abuse", L"Account blocked (abuse)"},
    {"911", L"Server error, try again later (911)"},
    {"ssl_error", L"SSL certificate error"},
    {kCodeNetworkError, L"Network error, check connection"},
};
// clang-format on

const wchar_t kHttpErrorPrefix[] = L"Server error (HTTP ";
const wchar_t kHttpErrorSuffix[] = L")";
const wchar_t kOtherErrorPrefix[] = L"Update failed: ";

}  // namespace

std::wstring describeResult(const std::string& code)
{
    for (const ResultMessage& entry : kResultMessages) {
        if (code == entry.code)
            return entry.message;
    }
    const size_t prefixLength = std::strlen(kHttpCodePrefix);
    if (code.compare(0, prefixLength, kHttpCodePrefix) == 0)
        return kHttpErrorPrefix + utf8ToWide(code.substr(prefixLength)) + kHttpErrorSuffix;
    return kOtherErrorPrefix + utf8ToWide(code);
}
