#include "update/result_messages.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(DescribeResult, Table)
{
    const struct { std::string code; std::wstring message; } cases[] = {
        {"badauth", L"Invalid username or key (badauth)"},
        {"nohost", L"Hostname not found (nohost)"},
        {"notfqdn", L"Invalid hostname format (notfqdn)"},
        {"abuse", L"Account blocked (abuse)"},
        {"911", L"Server error, try again later (911)"},
        {"ssl_error", L"SSL certificate error"},
        {"network_error", L"Network error, check connection"},
        {"http_404", L"Server error (HTTP 404)"},
        {"http_503", L"Server error (HTTP 503)"},
        {"http_0", L"Server error (HTTP 0)"},
        {"http_", L"Server error (HTTP )"},
        {"http_x y", L"Server error (HTTP x y)"},
        {"http_\xFF", L"Server error (HTTP \uFFFD)"},
        // Whole, case-sensitive codes: only beginning like an entry is not enough.
        {"badauth2", L"Update failed: badauth2"},
        {"nohosts", L"Update failed: nohosts"},
        {"BADAUTH", L"Update failed: BADAUTH"},
        {"http", L"Update failed: http"},
        {"HTTP_404", L"Update failed: HTTP_404"},
        {"http404", L"Update failed: http404"},
        {"good", L"Update failed: good"},
        {"", L"Update failed: "},
        {"caf\xC3\xA9", L"Update failed: caf\u00E9"},
        {"bad\xFF" "auth", L"Update failed: bad\uFFFDauth"},
        {"a\0b"s, L"Update failed: a\0b"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describeResult(c.code), c.message) << c.code;
}

}  // namespace
