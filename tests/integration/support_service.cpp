#include "support_service.h"

#include "tests/common/json.h"

#include <cstdlib>

namespace {

std::wstring fileIn(const wchar_t* name)
{
    std::wstring dir = serviceDir();
    return dir.empty() ? std::wstring() : dir + L"\\" + name;
}

bool readWholeFile(const std::wstring& path, std::string* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[8192];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0)
        bytes->append(buffer, read);
    CloseHandle(file);
    return ok;
}

// The service re-reads its files at any moment: it must see the old file or
// the new one, never a half-written one.
bool replaceFile(const wchar_t* name, const std::string& bytes)
{
    std::wstring target = fileIn(name);
    if (target.empty())
        return false;
    std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    if (ok)
        ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!ok)
        DeleteFileW(temp.c_str());
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

}  // namespace

std::wstring serviceDir()
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"LUMAROTH_SERVICE_DIR", buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring dir(buffer, length);
    if (dir[0] != L'/')
        return dir;
    for (wchar_t& c : dir) {
        if (c == L'/')
            c = L'\\';
    }
    return L"Z:" + dir;
}

bool serviceSetConfig(const std::string& jsonText)
{
    return replaceFile(L"config.json", jsonText);
}

bool serviceResetConfig()
{
    return serviceSetConfig("{}");
}

bool serviceWriteRecords(const std::string& jsonText)
{
    return replaceFile(L"records.json", jsonText);
}

std::string serviceRecord(const std::string& hostname)
{
    std::string bytes;
    JsonValue records;
    if (!readWholeFile(fileIn(L"records.json"), &bytes) || !parseJson(bytes, records))
        return std::string();
    return records.stringAt(lowerAscii(hostname));
}

std::vector<std::string> serviceRequestLines()
{
    std::vector<std::string> lines;
    std::string bytes;
    if (!readWholeFile(fileIn(L"requests.log"), &bytes))
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
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::vector<std::string> lines = serviceRequestLines();
    while (lines.size() < count && GetTickCount64() < deadline) {
        Sleep(20);
        lines = serviceRequestLines();
    }
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
    return true;
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
