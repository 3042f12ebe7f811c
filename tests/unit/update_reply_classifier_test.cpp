#include "update/reply_classifier.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

struct ReplyCase {
    const char* name;
    bool ok;
    uint32_t status;
    std::string body;
    bool success;
    std::string code;
    std::string ip;
};

TEST(ClassifyReply, Table)
{
    const ReplyCase cases[] = {
        {"good with CR LF", true, 200, "good 203.0.113.7\r\n", true, "good", "203.0.113.7"},
        {"nochg", true, 200, "nochg 203.0.113.7", true, "nochg", "203.0.113.7"},
        {"upper case word", true, 200, "NOCHG 203.0.113.7", true, "nochg", "203.0.113.7"},
        {"mixed case word", true, 200, "Good 203.0.113.7", true, "good", "203.0.113.7"},
        {"word alone", true, 200, "good", true, "good", ""},
        {"word and LF only", true, 200, "nochg\n", true, "nochg", ""},
        // The rest is the address only when it is an address text.
        {"two spaces: no address", true, 200, "good  203.0.113.7", true, "good", ""},
        {"text after address: no address", true, 200, "good 203.0.113.7 more text", true, "good", ""},
        {"IPv6", true, 200, "good 2001:db8::7", true, "good", "2001:db8::7"},
        {"IPv6 in full", true, 200, "good 2001:DB8:0:0:0:ff00:42:8329", true, "good", "2001:DB8:0:0:0:ff00:42:8329"},
        {"IPv4 in IPv6, 45 characters", true, 200, "good ffff:ffff:ffff:ffff:ffff:ffff:255.255.255.255", true, "good",
         "ffff:ffff:ffff:ffff:ffff:ffff:255.255.255.255"},
        {"3,000 characters", true, 200, "good " + std::string(3000, '7'), true, "good", ""},
        {"octet above 255", true, 200, "good 203.0.113.256", true, "good", ""},
        {"host name", true, 200, "good example.net", true, "good", ""},
        {"IPv6 with two gaps", true, 200, "good 2001::db8::7", true, "good", ""},
        {"IPv6 of nine groups", true, 200, "good 1:2:3:4:5:6:7:8:9", true, "good", ""},
        {"IPv6 with zone", true, 200, "good fe80::1%eth0", true, "good", ""},
        {"trailing blanks after address", true, 200, "good 203.0.113.7  \r\n \n", true, "good", "203.0.113.7"},
        {"line break as separator", true, 200, "good\r\n203.0.113.7", false, "good\r\n203.0.113.7", ""},
        {"tab as separator", true, 200, "GOOD\t203.0.113.7", false, "good\t203.0.113.7", ""},
        {"leading blank lines and spaces", true, 200, "\r\n\r\n  good 203.0.113.7", true, "good", "203.0.113.7"},
        {"leading tab", true, 200, "\tgood 203.0.113.7", false, "\tgood", "203.0.113.7"},
        {"byte-order mark", true, 200, "\xEF\xBB\xBFgood 203.0.113.7", false, "\xEF\xBB\xBFgood", "203.0.113.7"},
        {"error word with text", true, 200, "nohost some text", false, "nohost", ""},
        {"badauth upper case", true, 200, "BADAUTH", false, "badauth", ""},
        {"notfqdn", true, 200, "notfqdn\r\n", false, "notfqdn", ""},
        {"abuse", true, 200, "abuse", false, "abuse", ""},
        {"911", true, 200, "911", false, "911", ""},
        {"success word only as prefix", true, 200, "goods 203.0.113.7", false, "goods", "203.0.113.7"},
        {"unknown word", true, 200, "ssl_error", false, "ssl_error", ""},
        {"only A-Z lowered", true, 200, "\xC3\x84GOOD\xC3\x9C", false, "\xC3\x84good\xC3\x9C", ""},
        {"NUL inside the word", true, 200, "good\0 1.2.3.4"s, false, "good\0"s, "1.2.3.4"},
        {"NUL inside the address", true, 200, "good 1.2\0.3.4"s, true, "good", ""},
        {"empty 200 body", true, 200, "", false, "", ""},
        {"blank 200 body", true, 200, " \r\n \n", false, "", ""},
        {"404 ignores body", true, 404, "good 203.0.113.7", false, "http_404", ""},
        {"503 empty body", true, 503, "", false, "http_503", ""},
        {"status query failed", true, 0, "good 203.0.113.7", false, "http_0", ""},
        {"status as signed number", true, 0xFFFFFFFFu, "", false, "http_-1", ""},
        {"transport failure", false, 0, "", false, "network_error", ""},
        {"transport failure ignores status and body", false, 200, "good 1.2.3.4", false, "network_error", ""},
    };
    for (const ReplyCase& c : cases) {
        HttpResponse response;
        response.ok = c.ok;
        response.statusCode = c.status;
        response.body = c.body;
        UpdateResult result = classifyReply(response);
        EXPECT_EQ(result.success, c.success) << c.name;
        EXPECT_EQ(result.code, c.code) << c.name;
        EXPECT_EQ(result.ip, c.ip) << c.name;
    }
}

}  // namespace
