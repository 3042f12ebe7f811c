#include "tests/common/service_client.h"

#include "core/scoped_win.h"
#include "tests/common/json.h"
#include "tests/common/wait.h"

namespace {

std::wstring fileIn(const wchar_t* name)
{
    std::wstring dir = serviceDir();
    return dir.empty() ? std::wstring() : dir + L"\\" + name;
}

bool readFile(const std::wstring& path, std::string* bytes)
{
    bytes->clear();
    const ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char buffer[8192];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0)
        bytes->append(buffer, read);
    return ok;
}

std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::wstring environmentText(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

}  // namespace

bool writeFileAtomically(const std::wstring& path, const std::string& content)
{
    if (path.empty())
        return false;
    std::wstring temp = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    ScopedFileHandle file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
              written == content.size();
    // Closed before the move: a file still open for writing cannot be renamed.
    file.reset();
    if (ok)
        ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!ok)
        DeleteFileW(temp.c_str());
    return ok;
}

std::string readWholeFile(const std::wstring& path)
{
    std::string content;
    readFile(path, &content);
    return content;
}

std::string base64Decode(const std::string& text)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
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

std::wstring serviceDir()
{
    std::wstring own = environmentText(L"E2E_SERVICE_DIR");
    if (!own.empty())
        return own;
    std::wstring dir = environmentText(L"LUMAROTH_SERVICE_DIR");
    if (dir.empty() || dir[0] != L'/')
        return dir;
    for (wchar_t& c : dir) {
        if (c == L'/')
            c = L'\\';
    }
    return L"Z:" + dir;
}

bool serviceSetConfig(const std::string& jsonText)
{
    return writeFileAtomically(fileIn(L"config.json"), jsonText);
}

bool serviceResetConfig()
{
    return serviceSetConfig("{}");
}

bool serviceWriteRecords(const std::string& jsonText)
{
    return writeFileAtomically(fileIn(L"records.json"), jsonText);
}

std::string serviceRecord(const std::string& hostname)
{
    std::string bytes;
    JsonValue records;
    if (!readFile(fileIn(L"records.json"), &bytes) || !parseJson(bytes, records))
        return std::string();
    return records.stringAt(lowerAscii(hostname));
}

std::vector<std::string> serviceRequestLines()
{
    std::vector<std::string> lines;
    std::string bytes;
    if (!readFile(fileIn(L"requests.log"), &bytes))
        return lines;
    size_t start = 0;
    size_t end;
    // A line without its LF is still being written.
    while ((end = bytes.find('\n', start)) != std::string::npos) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

size_t serviceRequestCount()
{
    return serviceRequestLines().size();
}

std::vector<std::string> serviceWaitForRequests(size_t count, DWORD timeoutMs)
{
    std::vector<std::string> lines;
    waitUntil(
        [&] {
            lines = serviceRequestLines();
            return lines.size() >= count;
        },
        timeoutMs);
    return lines;
}

bool serviceParseRequest(const std::string& line, ServiceRequest* request)
{
    JsonValue entry;
    if (!parseJson(line, entry) || entry.kind != JsonValue::Kind::Object)
        return false;
    *request = ServiceRequest();
    request->line = line;
    request->method = entry.stringAt("method");
    request->target = entry.stringAt("target");
    request->path = entry.stringAt("path");
    request->query = entry.stringAt("query");
    request->reply = entry.stringAt("reply");
    if (const JsonValue* params = entry.find("params")) {
        for (const auto& param : params->members) {
            std::vector<std::string> values;
            for (const JsonValue& item : param.second.items)
                values.push_back(item.text);
            request->params.emplace_back(param.first, values);
        }
    }
    if (const JsonValue* headers = entry.find("headers")) {
        for (const JsonValue& header : headers->items) {
            if (header.items.size() == 2)
                request->headers.emplace_back(header.items[0].text, header.items[1].text);
        }
    }
    if (const JsonValue* length = entry.find("body_length"))
        request->bodyLength = static_cast<long>(length->number);
    if (const JsonValue* status = entry.find("status"))
        request->status = status->kind == JsonValue::Kind::Number ? static_cast<int>(status->number) : -1;
    const std::vector<std::string> hostnames = requestParam(*request, "hostname");
    if (!hostnames.empty())
        request->hostname = hostnames[0];
    const std::string authorization = requestHeader(*request, "Authorization");
    if (authorization.compare(0, 6, "Basic ") == 0)
        request->credentials = base64Decode(authorization.substr(6));
    request->userAgent = requestHeader(*request, "User-Agent");
    return true;
}

std::vector<ServiceRequest> serviceRequests()
{
    std::vector<ServiceRequest> requests;
    for (const std::string& line : serviceRequestLines()) {
        ServiceRequest request;
        if (serviceParseRequest(line, &request))
            requests.push_back(request);
    }
    return requests;
}

std::string requestHeader(const ServiceRequest& request, const std::string& name, bool* found)
{
    for (const auto& header : request.headers) {
        if (lowerAscii(header.first) == lowerAscii(name)) {
            if (found)
                *found = true;
            return header.second;
        }
    }
    if (found)
        *found = false;
    return std::string();
}

std::vector<std::string> requestParam(const ServiceRequest& request, const std::string& name)
{
    for (const auto& param : request.params) {
        if (param.first == name)
            return param.second;
    }
    return std::vector<std::string>();
}

UpdateService::UpdateService()
    : folder_(serviceDir())
{
}

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

void UpdateService::setRecord(const std::string& hostname, const std::string& address)
{
    serviceWriteRecords("{" + jsonQuote(hostname) + ": " + jsonQuote(address) + "}");
}

void UpdateService::setTrickleTunnel(int seconds)
{
    trickleSeconds_ = seconds;
    writeConfig();
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
    serviceSetConfig(json);
}

std::vector<ServiceRequest> UpdateService::requests() const
{
    return serviceRequests();
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
