#include "app/login_rules.h"

#include "core/text_encoding.h"
#include "store/account_blob.h"

namespace {

// What loginInputProblem answers, shown in the "Login Error" box.
constexpr wchar_t kFieldsRequiredText[] = L"All fields are required.";
constexpr wchar_t kSeparatorInFieldText[] = L"The hostname and username cannot contain the character |.";
constexpr wchar_t kAccountTooLongText[] = L"The hostname, username and key are too long to be saved.";

}  // namespace

std::wstring normalizeLoginField(const std::wstring& text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == L' ')
        --end;
    size_t start = 0;
    while (start < end && text[start] == L' ')
        ++start;
    std::wstring result = text.substr(start, end - start);
    // Only A-Z: what towlower does in the "C" locale, whatever the CRT.
    for (wchar_t& c : result)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return result;
}

std::wstring loginInputProblem(const std::wstring& hostname, const std::wstring& username,
                               const std::wstring& updateKey)
{
    if (hostname.empty() || username.empty() || updateKey.empty())
        return kFieldsRequiredText;
    // The stored credential separates the fields with "|"; the key comes last,
    // so only the first two must be free of it.
    if (hostname.find(L'|') != std::wstring::npos || username.find(L'|') != std::wstring::npos)
        return kSeparatorInFieldText;
    // Measured, not converted: a joined or converted copy would be one more
    // copy of the key left in freed memory. Apart, the fields convert to the
    // same bytes as joined: a "|" between them completes no surrogate pair.
    const size_t blobBytes = utf8Length(hostname) + 1 + utf8Length(username) + 1 + utf8Length(updateKey);
    if (!accountBlobFits(blobBytes))
        return kAccountTooLongText;
    return std::wstring();
}
