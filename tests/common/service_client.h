// The test programs' one client of the local update service
// (tools/update_service.py): its config.json and records.json written, its
// requests.log read, all through the service's state folder, which Windows
// code sees on drive Z:. Integration tests share the run's service and are
// serialised, so each may own it while it runs (set the config it needs,
// reset it afterwards); a journey has a service of its own.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// --- Files --------------------------------------------------------------------
// The service re-reads its files at any moment: it must see the old file or
// the new one, never a half-written one. Temporary file, then rename; false
// on failure.
bool writeFileAtomically(const std::wstring& path, const std::string& content);
// The whole file, or "" when it cannot be read.
std::string readWholeFile(const std::wstring& path);
std::string base64Decode(const std::string& text);

// --- The service's state folder ----------------------------------------------
// As a Windows path: the journey's own service (E2E_SERVICE_DIR, set by
// run_journey.sh), else the run's shared one (LUMAROTH_SERVICE_DIR, set by
// tools/test.sh); empty when the tests run without a service.
std::wstring serviceDir();

// One account of config.json.
struct ServiceAccount {
    std::string hostname;
    std::string username;
    std::string key;
    bool blocked = false;
};

// One line of requests.log, as the service saw the request.
struct ServiceRequest {
    std::string line;  // the raw JSON line
    std::string method;
    std::string target;  // raw request target (may be absolute-form)
    std::string path;    // "/" for an update, "/dyndns/getip" for a check
    std::string query;   // raw query string
    std::vector<std::pair<std::string, std::vector<std::string>>> params;  // decoded
    std::vector<std::pair<std::string, std::string>> headers;              // in order sent
    long bodyLength = 0;
    int status = -1;          // -1: no answer sent (a stall)
    std::string reply;        // text of the answer's body
    std::string hostname;     // the first hostname parameter, "" if none
    std::string credentials;  // "user:key" decoded from the Basic header, "" if none
    std::string userAgent;
    bool isUpdate() const { return path == "/"; }
    bool isCheck() const { return path == "/dyndns/getip"; }
};

// --- config.json and records.json, as JSON text ------------------------------
// jsonText as tools/update_service.py describes, e.g. R"({"fault": {"status": 503}})".
bool serviceSetConfig(const std::string& jsonText);
// Back to the defaults: no accounts, no fault, the good certificate.
bool serviceResetConfig();
// records.json: the address each host name points to.
bool serviceWriteRecords(const std::string& jsonText);
std::string serviceRecord(const std::string& hostname);  // "" when none

// --- requests.log ----------------------------------------------------------------
// One entry per line, oldest first; a line still being written is left out.
std::vector<std::string> serviceRequestLines();
size_t serviceRequestCount();
// Polls until the log holds at least count lines or timeoutMs passed; returns
// the lines there are.
std::vector<std::string> serviceWaitForRequests(size_t count, DWORD timeoutMs);
bool serviceParseRequest(const std::string& line, ServiceRequest* request);
// Every request the log holds that parses, oldest first.
std::vector<ServiceRequest> serviceRequests();
// The first header of that name (case-insensitive); found is false when absent.
std::string requestHeader(const ServiceRequest& request, const std::string& name, bool* found = nullptr);
std::vector<std::string> requestParam(const ServiceRequest& request, const std::string& name);

// The journeys' view of the service: the configuration built up field by
// field, and the requests sorted into updates and checks.
class UpdateService {
public:
    UpdateService();

    const std::wstring& folder() const { return folder_; }

    // Each setter rewrites config.json atomically with everything set so far.
    void setAccounts(const std::vector<ServiceAccount>& accounts);
    void setAddress(const std::string& address);
    void setMaintenance(bool on);
    // fault: the JSON object of config's "fault" member, "" for none.
    void setFault(const std::string& fault);
    // Every tunnel relays the service's bytes one at a time, seconds apart
    // (0: at full speed again, also a tunnel already trickling).
    void setTrickleTunnel(int seconds);
    // Pre-seeds records.json: the address host already points to.
    void setRecord(const std::string& hostname, const std::string& address);

    std::vector<ServiceRequest> requests() const;
    std::vector<ServiceRequest> updates() const;
    size_t updateCount() const { return updates().size(); }
    size_t checkCount() const;
    // Waits until at least count update requests were logged.
    bool waitForUpdates(size_t count, DWORD timeoutMs) const;
    bool waitForChecks(size_t count, DWORD timeoutMs) const;

private:
    void writeConfig() const;

    std::wstring folder_;
    std::vector<ServiceAccount> accounts_;
    std::string address_ = "203.0.113.7";
    bool maintenance_ = false;
    std::string fault_;
    int trickleSeconds_ = 0;
};
