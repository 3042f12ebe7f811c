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
const size_t kMaxShownWordChars = 64;
const wchar_t kCutMark[] = L"\u2026";

bool isHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

// The server's word goes into the status line and the "Login Error" box as
// it came, and it may be of any length: no more than its first 64 characters
// are shown, followed by an ellipsis (U+2026) when there was more. A surrogate pair
// is one character and is never split.
std::wstring shownWord(const std::wstring& word)
{
    size_t end = 0;
    for (size_t chars = 0; end < word.size() && chars < kMaxShownWordChars; ++chars)
        end += isHighSurrogate(word[end]) && end + 1 < word.size() ? 2 : 1;
    return end == word.size() ? word : word.substr(0, end) + kCutMark;
}

}  // namespace

std::wstring describeResult(const std::string& code)
{
    for (const ResultMessage& entry : kResultMessages) {
        if (code == entry.code)
            return entry.message;
    }
    const size_t prefixLength = std::strlen(kHttpCodePrefix);
    if (code.compare(0, prefixLength, kHttpCodePrefix) == 0)
        return kHttpErrorPrefix + shownWord(utf8ToWide(code.substr(prefixLength))) + kHttpErrorSuffix;
    return kOtherErrorPrefix + shownWord(utf8ToWide(code));
}
