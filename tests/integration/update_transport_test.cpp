// httpsGet against the local update service through the system proxy, under
// the real host name: what arrives when the server misbehaves.
#include "update/http_transport.h"

#include <gtest/gtest.h>

#include <string>

#include "support_service.h"
#include "tests/common/external_names.h"
#include "update/reply_classifier.h"

namespace {

const DWORD kLogWaitMs = 5000;
// The most of a reply's body the transport keeps, as designed.
const size_t kBodyBoundBytes = 64 * 1024;

std::string toHex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

class HttpsTransport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(serviceDir().empty()) << "LUMAROTH_SERVICE_DIR not set: run through tools/test.sh";
        ASSERT_TRUE(serviceResetConfig());
    }

    void TearDown() override { serviceResetConfig(); }

    static void setFault(const std::string& fault)
    {
        ASSERT_TRUE(serviceSetConfig("{\"address\": \"203.0.113.7\", \"fault\": " + fault + "}"));
    }

    static HttpResponse getIp() { return httpsGet(kUpdateServerHost, L"/dyndns/getip", nullptr); }
};

TEST_F(HttpsTransport, PlainAnswer)
{
    setFault("{}");
    HttpResponse response = getIp();
    EXPECT_TRUE(response.ok);
    EXPECT_EQ(response.statusCode, 200u);
    EXPECT_EQ(response.body, "203.0.113.7");
}

TEST_F(HttpsTransport, SendsHeaderOnlyWhenGiven)
{
    size_t before = serviceRequestCount();
    httpsGet(kUpdateServerHost, L"/dyndns/getip", nullptr);
    httpsGet(kUpdateServerHost, L"/dyndns/getip", L"X-Probe: one two");
    std::vector<std::string> lines = serviceWaitForRequests(before + 2, kLogWaitMs);
    ASSERT_EQ(lines.size(), before + 2);

    ServiceRequest bare, withHeader;
    ASSERT_TRUE(serviceParseRequest(lines[before], &bare));
    ASSERT_TRUE(serviceParseRequest(lines[before + 1], &withHeader));
    bool found = true;
    requestHeader(bare, "X-Probe", &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(requestHeader(withHeader, "X-Probe"), "one two");
    EXPECT_EQ(requestHeader(bare, "User-Agent"), kUserAgent);
    EXPECT_EQ(requestHeader(withHeader, "User-Agent"), kUserAgent);
}

// The path is sent as given, except that WinHTTP escapes what may not appear
// in a request line.
TEST_F(HttpsTransport, PathEscapingIsWinHttpsDefault)
{
    size_t before = serviceRequestCount();
    httpsGet(kUpdateServerHost, L"/?hostname=a b.example.net&x=%41", nullptr);
    std::vector<std::string> lines = serviceWaitForRequests(before + 1, kLogWaitMs);
    ASSERT_EQ(lines.size(), before + 1);
    ServiceRequest request;
    ASSERT_TRUE(serviceParseRequest(lines[before], &request));
    EXPECT_EQ(request.query, "hostname=a%20b.example.net&x=%41");
}

TEST_F(HttpsTransport, LongBodyWithNulArrivesWhole)
{
    std::string body;
    for (int i = 0; i < 10000; ++i)
        body += static_cast<char>((i * 7) % 256);
    body[5000] = '\0';
    setFault("{\"body_hex\": \"" + toHex(body) + "\"}");

    HttpResponse response = getIp();
    EXPECT_TRUE(response.ok);
    EXPECT_EQ(response.statusCode, 200u);
    ASSERT_EQ(response.body.size(), body.size());
    EXPECT_TRUE(response.body == body);
}

TEST_F(HttpsTransport, ConnectionClosedMidBodyKeepsWhatArrived)
{
    setFault(R"({"close_mid_body": true})");
    HttpResponse response = getIp();
    EXPECT_TRUE(response.ok);
    EXPECT_EQ(response.statusCode, 200u);
    EXPECT_EQ(response.body, "good 203.0");

    // The word is whole; an address cut short is no address.
    UpdateResult result = classifyReply(response);
    EXPECT_EQ(result.code, "good");
    EXPECT_EQ(result.ip, "");
}

TEST_F(HttpsTransport, BodyIsBoundedAt64KiB)
{
    setFault(R"({"big_body": 70000})");
    HttpResponse response = getIp();
    EXPECT_TRUE(response.ok);
    EXPECT_EQ(response.statusCode, 200u);
    EXPECT_EQ(response.body.size(), kBodyBoundBytes);
    EXPECT_EQ(response.body.rfind("good 203.0.113.7 xxx", 0), 0u);
    EXPECT_EQ(response.body.find_first_not_of('x', 17), std::string::npos);
}

TEST_F(HttpsTransport, BodyJustUnderTheBoundIsWhole)
{
    setFault("{\"big_body\": " + std::to_string(kBodyBoundBytes - 1) + "}");
    HttpResponse response = getIp();
    EXPECT_TRUE(response.ok);
    EXPECT_EQ(response.body.size(), kBodyBoundBytes - 1);
}

TEST_F(HttpsTransport, RefusedTunnelFails)
{
    setFault(R"({"refuse": true})");
    HttpResponse response = getIp();
    EXPECT_FALSE(response.ok);
    EXPECT_EQ(response.statusCode, 0u);
    EXPECT_EQ(response.body, "");
}

TEST_F(HttpsTransport, DelayedAnswerStillArrives)
{
    setFault(R"({"delay": 1})");
    HttpResponse response = getIp();
    EXPECT_TRUE(response.ok);
    EXPECT_EQ(response.body, "203.0.113.7");
}

// Waits out the 15-second receive time-out once.
TEST_F(HttpsTransport, StalledServerTimesOut)
{
    setFault(R"({"stall": true})");
    size_t before = serviceRequestCount();
    HttpResponse response = getIp();
    EXPECT_FALSE(response.ok);
    EXPECT_EQ(response.statusCode, 0u);
    EXPECT_EQ(response.body, "");

    // It did reach the server: the time-out, not the connection, ended it.
    std::vector<std::string> lines = serviceWaitForRequests(before + 1, kLogWaitMs);
    ASSERT_EQ(lines.size(), before + 1);
    ServiceRequest request;
    ASSERT_TRUE(serviceParseRequest(lines[before], &request));
    EXPECT_EQ(request.status, -1);
}

// The same server answers once it shows the certificate the prefix trusts:
// the certificate alone stopped the request.
TEST_F(HttpsTransport, CertificateErrorsStopTheRequest)
{
    for (const char* cert : {"untrusted", "wrongname"}) {
        ASSERT_TRUE(serviceSetConfig(std::string("{\"address\": \"203.0.113.7\", \"cert\": \"") + cert + "\"}"));
        size_t before = serviceRequestCount();
        HttpResponse refused = getIp();
        EXPECT_FALSE(refused.ok) << cert;
        EXPECT_EQ(refused.statusCode, 0u) << cert;
        EXPECT_EQ(serviceRequestCount(), before) << cert;

        ASSERT_TRUE(serviceSetConfig(R"({"address": "203.0.113.7", "cert": "good"})"));
        HttpResponse trusted = getIp();
        EXPECT_TRUE(trusted.ok) << cert;
        EXPECT_EQ(trusted.statusCode, 200u) << cert;
        EXPECT_EQ(trusted.body, "203.0.113.7") << cert;
    }
}

// A header WinHTTP will not add: sent without it, an update would reach the
// server with no credentials and read as a wrong key. It is not sent at all.
TEST_F(HttpsTransport, RequestWhoseHeaderCannotBeAddedIsNotSent)
{
    setFault("{}");
    for (const wchar_t* header : {L"no colon in this line", L": no name"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(header)));
        const size_t before = serviceRequestCount();
        HttpResponse response = httpsGet(kUpdateServerHost, L"/dyndns/getip?header=refused", header);
        EXPECT_FALSE(response.ok);
        EXPECT_EQ(response.statusCode, 0u);
        EXPECT_EQ(classifyReply(response).code, "network_error");
        // The request that follows is the first the service sees.
        ASSERT_TRUE(getIp().ok);
        const std::vector<std::string> lines = serviceWaitForRequests(before + 1, kLogWaitMs);
        ASSERT_EQ(lines.size(), before + 1);
        ServiceRequest seen;
        ASSERT_TRUE(serviceParseRequest(lines[before], &seen));
        EXPECT_EQ(seen.query, "");
    }
}

}  // namespace
