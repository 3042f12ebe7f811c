#include "update/result_messages.h"

#include "tests/common/result_messages.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(DescribeResult, Table)
{
    for (const ResultMessage& row : kResultMessages)
        EXPECT_EQ(describeResult(row.code), row.message) << row.code;
    const struct {
        std::string code;
        std::wstring message;
    } cases[] = {
        {"http_404", httpErrorMessage(L"404")},
        {"http_503", httpErrorMessage(L"503")},
        {"http_0", httpErrorMessage(L"0")},
        {"http_", httpErrorMessage(L"")},
        {"http_x y", httpErrorMessage(L"x y")},
        {"http_\xFF", httpErrorMessage(L"\uFFFD")},
        // Whole, case-sensitive codes: only beginning like an entry is not enough.
        {"badauth2", unknownResultMessage(L"badauth2")},
        {"nohosts", unknownResultMessage(L"nohosts")},
        {"BADAUTH", unknownResultMessage(L"BADAUTH")},
        {"http", unknownResultMessage(L"http")},
        {"HTTP_404", unknownResultMessage(L"HTTP_404")},
        {"http404", unknownResultMessage(L"http404")},
        {"good", unknownResultMessage(L"good")},
        {"", unknownResultMessage(L"")},
        {"caf\xC3\xA9", unknownResultMessage(L"caf\u00E9")},
        {"bad\xFF"
         "auth",
         unknownResultMessage(L"bad\uFFFDauth")},
        {"a\0b"s, unknownResultMessage(L"a\0b"s)},
        // A word of any length: its first 64 characters, and an ellipsis for the rest.
        {std::string(3000, 'a'), unknownResultMessage(std::wstring(64, L'a') + L"\u2026")},
        {std::string(64, 'b'), unknownResultMessage(std::wstring(64, L'b'))},
        {"http_" + std::string(100, '9'), httpErrorMessage(std::wstring(64, L'9') + L"\u2026")},
        {std::string(63, 'd') + "\xF0\x9F\x98\x80" + "e",
         unknownResultMessage(std::wstring(63, L'd') + L"\U0001F600" + L"\u2026")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describeResult(c.code), c.message) << c.code;
}

}  // namespace
