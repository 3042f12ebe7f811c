#include "tests/e2e/e2e_service.h"

#include "tests/common/json.h"
#include "tests/e2e/e2e_wait.h"

#include <cstdlib>

namespace {

std::wstring environmentPath(const wchar_t* name)
{
    wchar_t buffer[1024] = {};
    DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length > 0 && length < 1024 ? std::wstring(buffer) : std::wstring();
}

std::string headerValue(const JsonValue& request, const std::string& name)
{
    const JsonValue* headers = request.find("headers");
    if (!headers)
        return {};
    for (const JsonValue& pair : headers->items) {
        if (pair.items.size() != 2)
            continue;
        if (_stricmp(pair.items[0].text.c_str(), name.c_str()) == 0)
            return pair.items[1].text;
    }
    return {};
}

} // namespace

bool writeFileAtomically(const std::wstring& path, const std::string& content)
{
    std::wstring temporary = path + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != content.size())
        return false;
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string readWholeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string content;
    char chunk[8192];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    return content;
}

std::string base64Decode(const std::string& text)
{
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned long bits = 0;
    int count = 0;
    for (char c : text) {
        size_t index = alphabet.find(c);
        if (index == std::string::npos)
            continue;
        bits = (bits << 6) | index;
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += char((bits >> count) & 0xFF);
        }
    }
    return out;
}

UpdateService::UpdateService() : folder_(environmentPath(L"E2E_SERVICE_DIR")) {}

void UpdateService::setAccounts(const std::vector<ServiceAccount>& accounts)
{
    accounts_ = accounts;
    writeConfig();
}

void UpdateService::setAddress(const std::string& address)
{
    address_ = address;
    writeConfig();
}

void UpdateService::setMaintenance(bool on)
{
    maintenance_ = on;
    writeConfig();
}

void UpdateService::setFault(const std::string& fault)
{
    fault_ = fault;
    writeConfig();
}

void UpdateService::setTrickleTunnel(int seconds)
{
    trickleSeconds_ = seconds;
    writeConfig();
}

void UpdateService::setRecord(const std::string& hostname, const std::string& address)
{
    writeFileAtomically(folder_ + L"\\records.json",
                        "{" + jsonQuote(hostname) + ": " + jsonQuote(address) + "}");
}

void UpdateService::writeConfig() const
{
    std::string json = "{\"accounts\": [";
    for (size_t i = 0; i < accounts_.size(); ++i) {
        const ServiceAccount& account = accounts_[i];
        json += i ? ", " : "";
        json += "{\"hostname\": " + jsonQuote(account.hostname) + ", \"username\": " + jsonQuote(account.username) +
                ", \"key\": " + jsonQuote(account.key) + ", \"blocked\": " + (account.blocked ? "true" : "false") + "}";
    }
    json += "], \"address\": " + jsonQuote(address_) + ", \"maintenance\": " + (maintenance_ ? "true" : "false");
    if (trickleSeconds_ > 0)
        json += ", \"trickle_tunnel\": " + std::to_string(trickleSeconds_);
    if (!fault_.empty())
        json += ", \"fault\": " + fault_;
    json += "}";
    writeFileAtomically(folder_ + L"\\config.json", json);
}

std::vector<ServiceRequest> UpdateService::requests() const
{
    std::vector<ServiceRequest> requests;
    std::string log = readWholeFile(folder_ + L"\\requests.log");
    size_t start = 0;
    for (size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
        JsonValue line;
        if (!parseJson(log.substr(start, end - start), line))
            continue;
        ServiceRequest request;
        request.path = line.stringAt("path");
        if (const JsonValue* params = line.find("params"))
            if (const JsonValue* host = params->find("hostname"))
                if (!host->items.empty())
                    request.hostname = host->items[0].text;
        std::string authorization = headerValue(line, "Authorization");
        if (authorization.compare(0, 6, "Basic ") == 0)
            request.credentials = base64Decode(authorization.substr(6));
        request.userAgent = headerValue(line, "User-Agent");
        request.reply = line.stringAt("reply");
        if (const JsonValue* status = line.find("status"))
            request.status = int(status->number);
        requests.push_back(request);
    }
    return requests;
}

std::vector<ServiceRequest> UpdateService::updates() const
{
    std::vector<ServiceRequest> updates;
    for (const ServiceRequest& request : requests())
        if (request.isUpdate())
            updates.push_back(request);
    return updates;
}

size_t UpdateService::checkCount() const
{
    size_t count = 0;
    for (const ServiceRequest& request : requests())
        count += request.isCheck();
    return count;
}

bool UpdateService::waitForUpdates(size_t count, DWORD timeoutMs) const
{
    return waitUntil([&] { return updateCount() >= count; }, timeoutMs);
}

bool UpdateService::waitForChecks(size_t count, DWORD timeoutMs) const
{
    return waitUntil([&] { return checkCount() >= count; }, timeoutMs);
}
