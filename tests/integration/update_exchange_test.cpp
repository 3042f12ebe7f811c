// The update request and the connectivity check end to end: Wine's WinHTTP,
// the system proxy ($http_proxy), the real host name and certificate chain,
// and the local update service answering like the real one.
#include "update/update_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support_service.h"
#include "tests/common/external_names.h"
#include "update/system_dlls.h"

namespace {

const DWORD kLogWaitMs = 5000;

// What the stand-in loader was asked for, and what it refuses: one full path,
// or the System32-only flag as a Windows 7 without KB2533623 does.
struct LoaderCall {
    std::wstring path;
    DWORD flags;
};
std::vector<LoaderCall> gLoaderCalls;
std::wstring gRefusedPath;
bool gRefuseSystem32Flag = false;

HMODULE WINAPI standInLoader(LPCWSTR path, HANDLE file, DWORD flags)
{
    gLoaderCalls.push_back({path, flags});
    if (path == gRefusedPath || (gRefuseSystem32Flag && (flags & LOAD_LIBRARY_SEARCH_SYSTEM32))) {
        SetLastError(path == gRefusedPath ? ERROR_MOD_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadLibraryExW(path, file, flags);
}

std::wstring inSystem32(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

// alice has two host names, one of them blocked; jürgen's key is not ASCII.
std::string serviceConfig(const std::string& extra = "")
{
    return "{\"accounts\": ["
           "{\"hostname\": \"home.example.net\", \"username\": \"alice\", \"key\": \"s3cret\"},"
           "{\"hostname\": \"blocked.example.net\", \"username\": \"alice\", \"key\": \"s3cret\", \"blocked\": true},"
           "{\"hostname\": \"haus.example.net\", \"username\": \"j\xC3\xBCrgen\", \"key\": "
           "\"schl\xC3\xBCssel\xF0\x9F\x94\x91\"}"
           "], \"address\": \"203.0.113.7\"" +
           extra + "}";
}

class UpdateExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(serviceDir().empty()) << "LUMAROTH_SERVICE_DIR not set: run through tools/test.sh";
        ASSERT_TRUE(serviceSetConfig(serviceConfig()));
        ASSERT_TRUE(serviceWriteRecords("{}"));
    }

    void TearDown() override
    {
        serviceResetConfig();
        serviceWriteRecords("{}");
    }

    // The one entry the service logged since `before` entries.
    static ServiceRequest onlyRequestSince(size_t before)
    {
        std::vector<std::string> lines = serviceWaitForRequests(before + 1, kLogWaitMs);
        ServiceRequest request;
        EXPECT_EQ(lines.size(), before + 1);
        if (lines.size() > before)
            EXPECT_TRUE(serviceParseRequest(lines[before], &request)) << lines[before];
        return request;
    }
};

TEST_F(UpdateExchange, SendsExactlyTheUpdateRequest)
{
    size_t before = serviceRequestCount();
    UpdateResult result = performUpdate(L"home.example.net", L"alice", L"s3cret");
    ServiceRequest request = onlyRequestSince(before);

    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/");
    EXPECT_EQ(request.query, "hostname=home.example.net");
    EXPECT_EQ(requestHeader(request, "Authorization"), "Basic YWxpY2U6czNjcmV0");
    EXPECT_EQ(requestHeader(request, "User-Agent"), kUserAgent);
    EXPECT_EQ(requestHeader(request, "Host").rfind("dynupdate.vexlumen.net", 0), 0u) << requestHeader(request, "Host");
    EXPECT_EQ(request.bodyLength, 0);
    bool chunked = false;
    requestHeader(request, "Transfer-Encoding", &chunked);
    EXPECT_FALSE(chunked);
    EXPECT_TRUE(result.success);
}

TEST_F(UpdateExchange, ServerRepliesEndToEnd)
{
    const struct {
        const char* name;
        std::string config;
        std::string records;
        const wchar_t* hostname;
        const wchar_t* username;
        const wchar_t* key;
        bool success;
        const char* code;
        const char* ip;
    } cases[] = {
        {"good", serviceConfig(), "{}", L"home.example.net", L"alice", L"s3cret", true, "good", "203.0.113.7"},
        {"address changed", serviceConfig(), R"({"home.example.net": "198.51.100.1"})", L"home.example.net", L"alice",
         L"s3cret", true, "good", "203.0.113.7"},
        {"nochg", serviceConfig(), R"({"home.example.net": "203.0.113.7"})", L"home.example.net", L"alice", L"s3cret",
         true, "nochg", "203.0.113.7"},
        {"non-ASCII credentials", serviceConfig(), "{}", L"haus.example.net", L"j\u00FCrgen",
         L"schl\u00FCssel\U0001F511", true, "good", "203.0.113.7"},
        {"badauth: wrong key", serviceConfig(), "{}", L"home.example.net", L"alice", L"secret", false, "badauth", ""},
        {"badauth: unknown user", serviceConfig(), "{}", L"home.example.net", L"bob", L"s3cret", false, "badauth", ""},
        {"nohost", serviceConfig(), "{}", L"other.example.net", L"alice", L"s3cret", false, "nohost", ""},
        {"nohost: another user's host", serviceConfig(), "{}", L"haus.example.net", L"alice", L"s3cret", false,
         "nohost", ""},
        {"notfqdn", serviceConfig(), "{}", L"home", L"alice", L"s3cret", false, "notfqdn", ""},
        {"abuse", serviceConfig(), "{}", L"blocked.example.net", L"alice", L"s3cret", false, "abuse", ""},
        {"911", serviceConfig(", \"maintenance\": true"), "{}", L"home.example.net", L"alice", L"s3cret", false, "911",
         ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(serviceSetConfig(c.config));
        ASSERT_TRUE(serviceWriteRecords(c.records));
        UpdateResult result = performUpdate(c.hostname, c.username, c.key);
        EXPECT_EQ(result.success, c.success) << c.name;
        EXPECT_EQ(result.code, c.code) << c.name;
        EXPECT_EQ(result.ip, c.ip) << c.name;
    }
}

TEST_F(UpdateExchange, GoodRecordsTheAddress)
{
    ASSERT_TRUE(serviceWriteRecords(R"({"home.example.net": "198.51.100.1"})"));
    EXPECT_EQ(performUpdate(L"home.example.net", L"alice", L"s3cret").code, "good");
    EXPECT_EQ(serviceRecord("home.example.net"), "203.0.113.7");
    EXPECT_EQ(performUpdate(L"home.example.net", L"alice", L"s3cret").code, "nochg");
}

TEST_F(UpdateExchange, AmpersandInHostNameBecomesFurtherParameters)
{
    size_t before = serviceRequestCount();
    UpdateResult result = performUpdate(L"home.example.net&myip=198.51.100.9", L"alice", L"s3cret");
    ServiceRequest request = onlyRequestSince(before);

    EXPECT_EQ(request.query, "hostname=home.example.net&myip=198.51.100.9");
    EXPECT_EQ(requestParam(request, "hostname"), std::vector<std::string>{"home.example.net"});
    EXPECT_EQ(requestParam(request, "myip"), std::vector<std::string>{"198.51.100.9"});
    EXPECT_EQ(result.code, "good");
}

TEST_F(UpdateExchange, NonOkStatusGivesHttpCode)
{
    const struct {
        const char* fault;
        const char* code;
    } cases[] = {
        {R"({"status": 503})", "http_503"},
        {R"({"status": 500, "body": "911"})", "http_500"},
        {R"({"status": 404, "body": "good 203.0.113.7"})", "http_404"},
        {R"({"status": 403, "body": "nochg 203.0.113.7"})", "http_403"},
        // Redirects are not followed: the key never leaves for another host.
        {R"({"redirect": "https://elsewhere.vexlumen.net/?hostname=home.example.net"})", "http_302"},
        {R"({"redirect": "https://dynupdate.vexlumen.net/?hostname=home.example.net"})", "http_302"},
        {R"({"redirect": "http://dynupdate.vexlumen.net/?hostname=home.example.net", "status": 301})", "http_301"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(serviceSetConfig(serviceConfig(std::string(", \"fault\": ") + c.fault)));
        const size_t before = serviceRequestCount();
        UpdateResult result = performUpdate(L"home.example.net", L"alice", L"s3cret");
        EXPECT_FALSE(result.success) << c.fault;
        EXPECT_EQ(result.code, c.code) << c.fault;
        EXPECT_EQ(result.ip, "") << c.fault;
        EXPECT_EQ(serviceRequestCount(), before + 1) << c.fault;
    }
}

TEST_F(UpdateExchange, RawRepliesAreClassified)
{
    const struct {
        const char* fault;
        bool success;
        const char* code;
        const char* ip;
    } cases[] = {
        {R"({"body": "GOOD 198.51.100.4\r\n"})", true, "good", "198.51.100.4"},
        {R"({"body": ""})", false, "", ""},
        {R"({"body_hex": "0d0a6e6f63686720312e322e332e340d0a"})", true, "nochg", "1.2.3.4"},
        // A byte every 2 s never trips a read time-out; the deadline ends it.
        {R"({"trickle": 2})", false, "network_error", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(serviceSetConfig(serviceConfig(std::string(", \"fault\": ") + c.fault)));
        UpdateResult result = performUpdate(L"home.example.net", L"alice", L"s3cret");
        EXPECT_EQ(result.success, c.success) << c.fault;
        EXPECT_EQ(result.code, c.code) << c.fault;
        EXPECT_EQ(result.ip, c.ip) << c.fault;
    }
}

// The credentials must never reach a server whose certificate does not
// check out; the request dies in the handshake, before anything is sent.
TEST_F(UpdateExchange, BadCertificateGivesNetworkErrorAndSendsNothing)
{
    for (const char* cert : {"untrusted", "wrongname"}) {
        ASSERT_TRUE(serviceSetConfig(serviceConfig(std::string(", \"cert\": \"") + cert + "\"")));
        size_t before = serviceRequestCount();

        UpdateResult result = performUpdate(L"home.example.net", L"alice", L"s3cret");
        EXPECT_FALSE(result.success) << cert;
        EXPECT_EQ(result.code, "network_error") << cert;
        EXPECT_EQ(result.ip, "") << cert;
        EXPECT_FALSE(checkConnectivity()) << cert;

        EXPECT_EQ(serviceRequestCount(), before) << cert;
    }
    // Back to the good certificate: a new connection verifies again.
    ASSERT_TRUE(serviceSetConfig(serviceConfig()));
    EXPECT_EQ(performUpdate(L"home.example.net", L"alice", L"s3cret").code, "good");
}

TEST_F(UpdateExchange, RefusedConnectionGivesNetworkError)
{
    ASSERT_TRUE(serviceSetConfig(serviceConfig(R"(, "fault": {"refuse": true})")));
    size_t before = serviceRequestCount();
    UpdateResult result = performUpdate(L"home.example.net", L"alice", L"s3cret");
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.code, "network_error");
    EXPECT_EQ(serviceRequestCount(), before);
}

TEST_F(UpdateExchange, ConnectivityCheckSendsBareRequest)
{
    size_t before = serviceRequestCount();
    EXPECT_TRUE(checkConnectivity());
    ServiceRequest request = onlyRequestSince(before);

    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/dyndns/getip");
    EXPECT_EQ(request.query, "");
    EXPECT_EQ(requestHeader(request, "User-Agent"), kUserAgent);
    bool authorized = true;
    requestHeader(request, "Authorization", &authorized);
    EXPECT_FALSE(authorized);
    EXPECT_EQ(request.bodyLength, 0);
}

TEST_F(UpdateExchange, ConnectivityCheckTable)
{
    const struct {
        const char* fault;
        bool reachable;
    } cases[] = {
        {"{}", true},
        {R"({"body": "not an address"})", true},  // the body is not looked at
        {R"({"on": ["update"], "status": 503})", true},
        {R"({"status": 503})", false},
        {R"({"status": 404})", false},
        {R"({"status": 204})", false},
        {R"({"refuse": true})", false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(serviceSetConfig(serviceConfig(std::string(", \"fault\": ") + c.fault)));
        EXPECT_EQ(checkConnectivity(), c.reachable) << c.fault;
    }
}

// A system DLL that cannot be loaded (a policy, a broken system) ends the
// exchange as no answer before anything is sent. The DLLs are asked for by
// their full System32 path, with the System32-only search for their own
// imports, or the altered search path where the system refuses that flag.
TEST_F(UpdateExchange, SystemDllThatCannotBeLoadedGivesNetworkError)
{
    gSystemDllCalls.loadLibrary = standInLoader;
    for (const wchar_t* dll : {L"winhttp.dll", L"crypt32.dll"}) {
        gRefusedPath = inSystem32(dll);
        size_t before = serviceRequestCount();
        UpdateResult result = performUpdate(L"home.example.net", L"alice", L"s3cret");
        EXPECT_FALSE(result.success) << dll;
        EXPECT_EQ(result.code, "network_error") << dll;
        EXPECT_FALSE(checkConnectivity()) << dll;
        EXPECT_EQ(serviceRequestCount(), before) << dll;
    }
    gRefusedPath.clear();
    gRefuseSystem32Flag = true;
    gLoaderCalls.clear();
    const std::string code = performUpdate(L"home.example.net", L"alice", L"s3cret").code;
    gRefuseSystem32Flag = false;
    gSystemDllCalls.loadLibrary = LoadLibraryExW;
    EXPECT_EQ(code, "good");
    ASSERT_EQ(gLoaderCalls.size(), 4u);
    const DWORD flags[] = {LOAD_LIBRARY_SEARCH_SYSTEM32, LOAD_WITH_ALTERED_SEARCH_PATH};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(gLoaderCalls[i].path, inSystem32(i < 2 ? L"winhttp.dll" : L"crypt32.dll")) << i;
        EXPECT_EQ(gLoaderCalls[i].flags, flags[i % 2]) << i;
    }
}

}  // namespace
