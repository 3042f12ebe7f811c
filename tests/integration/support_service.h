// Test-side access to the shared local update service ($LUMAROTH_SERVICE_DIR,
// see tools/update_service.py): its config.json, records.json and
// requests.log, read and written from Windows code through drive Z:.
// Integration tests are serialised, so each test may own the service while it
// runs: set the config it needs, and reset it afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// One line of requests.log, as the service saw the request.
struct ServiceRequest {
    std::string line;                       // the raw JSON line
    std::string method;
    std::string target;                     // raw request target (may be absolute-form)
    std::string path;
    std::string query;                      // raw query string
    std::vector<std::pair<std::string, std::vector<std::string>>> params;   // decoded
    std::vector<std::pair<std::string, std::string>> headers;               // in order sent
    long bodyLength = 0;
    int status = -1;                        // -1: no answer sent (a stall)
    std::string reply;                      // text of the answer's body
};

// The service's state directory as a Windows path ("Z:\..."), empty when the
// tests run without the service.
std::wstring serviceDir();

// Writes config.json atomically (temp file + rename). jsonText as in
// briefs/service.md, e.g. R"({"fault": {"status": 503}})".
bool serviceSetConfig(const std::string& jsonText);
// Back to the defaults: no accounts, no fault, the good certificate.
bool serviceResetConfig();

// records.json: the address each host name points to.
bool serviceWriteRecords(const std::string& jsonText);
std::string serviceRecord(const std::string& hostname);    // "" when none

// requests.log, one entry per line, oldest first.
std::vector<std::string> serviceRequestLines();
size_t serviceRequestCount();
// Polls until the log holds at least count lines or timeoutMs passed; returns
// the lines there are.
std::vector<std::string> serviceWaitForRequests(size_t count, DWORD timeoutMs);

bool serviceParseRequest(const std::string& line, ServiceRequest* request);
// The first header of that name (case-insensitive); found is false when absent.
std::string requestHeader(const ServiceRequest& request, const std::string& name, bool* found = nullptr);
std::vector<std::string> requestParam(const ServiceRequest& request, const std::string& name);
