// The journeys' side of the local update service: its configuration and the
// log of the requests it received, reached through its state folder (a Unix
// folder seen by Wine programs as Z:\...).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ServiceAccount {
    std::string hostname;
    std::string username;
    std::string key;
    bool blocked = false;
};

struct ServiceRequest {
    std::string path;          // "/" for an update, "/dyndns/getip" for a check
    std::string hostname;      // the hostname parameter as the service parsed it
    std::string credentials;   // "user:key" decoded from the Basic header, "" if none
    std::string userAgent;
    std::string reply;
    int status = 0;
    bool isUpdate() const { return path == "/"; }
    bool isCheck() const { return path == "/dyndns/getip"; }
};

class UpdateService {
public:
    // The state folder named by E2E_SERVICE_DIR (set by run_journey.sh).
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

// Writes a file atomically (temporary file, then rename); false on failure.
bool writeFileAtomically(const std::wstring& path, const std::string& content);
// The whole file, or "" when it cannot be read.
std::string readWholeFile(const std::wstring& path);
std::string base64Decode(const std::string& text);
