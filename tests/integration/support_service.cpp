#include "support_service.h"

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

void appendUtf8(unsigned long codePoint, std::string* out)
{
    if (codePoint < 0x80) {
        *out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        *out += static_cast<char>(0xC0 | (codePoint >> 6));
        *out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        *out += static_cast<char>(0xE0 | (codePoint >> 12));
        *out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (codePoint >> 18));
        *out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Just enough JSON for the service's own output: objects, arrays, strings,
// integers, true/false/null.
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool flag = false;
    long number = 0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json* member(const std::string& name) const
    {
        for (const auto& m : members) {
            if (m.first == name)
                return &m.second;
        }
        return nullptr;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    bool readDocument(Json* value)
    {
        if (!readValue(value))
            return false;
        skipBlanks();
        return pos_ == text_.size();
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' ||
                                       text_[pos_] == '\n'))
            ++pos_;
    }

    bool take(char c)
    {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool readWord(const char* word)
    {
        size_t length = std::char_traits<char>::length(word);
        if (text_.compare(pos_, length, word) != 0)
            return false;
        pos_ += length;
        return true;
    }

    bool readHex4(unsigned long* unit)
    {
        if (pos_ + 4 > text_.size())
            return false;
        char* end = nullptr;
        std::string digits = text_.substr(pos_, 4);
        *unit = std::strtoul(digits.c_str(), &end, 16);
        pos_ += 4;
        return end == digits.c_str() + 4;
    }

    bool readString(std::string* out)
    {
        if (!take('"'))
            return false;
        out->clear();
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c == '"')
                return true;
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (pos_ >= text_.size())
                return false;
            char e = text_[pos_++];
            switch (e) {
            case 'n': *out += '\n'; break;
            case 'r': *out += '\r'; break;
            case 't': *out += '\t'; break;
            case 'b': *out += '\b'; break;
            case 'f': *out += '\f'; break;
            case 'u': {
                unsigned long unit = 0;
                if (!readHex4(&unit))
                    return false;
                if (unit >= 0xD800 && unit < 0xDC00 && text_.compare(pos_, 2, "\\u") == 0) {
                    pos_ += 2;
                    unsigned long low = 0;
                    if (!readHex4(&low))
                        return false;
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(unit, out);
                break;
            }
            default: *out += e; break;
            }
        }
        return false;
    }

    bool readValue(Json* value)
    {
        skipBlanks();
        if (pos_ >= text_.size())
            return false;
        char c = text_[pos_];
        if (c == '"') {
            value->kind = Json::String;
            return readString(&value->text);
        }
        if (c == '{') {
            ++pos_;
            value->kind = Json::Object;
            if (take('}'))
                return true;
            do {
                std::pair<std::string, Json> member;
                if (!readString(&member.first) || !take(':') || !readValue(&member.second))
                    return false;
                value->members.push_back(std::move(member));
            } while (take(','));
            return take('}');
        }
        if (c == '[') {
            ++pos_;
            value->kind = Json::Array;
            if (take(']'))
                return true;
            do {
                Json item;
                if (!readValue(&item))
                    return false;
                value->items.push_back(std::move(item));
            } while (take(','));
            return take(']');
        }
        if (readWord("true")) {
            value->kind = Json::Bool;
            value->flag = true;
            return true;
        }
        if (readWord("false")) {
            value->kind = Json::Bool;
            return true;
        }
        if (readWord("null")) {
            value->kind = Json::Null;
            return true;
        }
        char* end = nullptr;
        value->kind = Json::Number;
        value->number = std::strtol(text_.c_str() + pos_, &end, 10);
        if (end == text_.c_str() + pos_)
            return false;
        pos_ = static_cast<size_t>(end - text_.c_str());
        return true;
    }

    const std::string& text_;
    size_t pos_ = 0;
};

std::string stringMember(const Json& object, const char* name)
{
    const Json* value = object.member(name);
    return value && value->kind == Json::String ? value->text : std::string();
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
    Json records;
    if (!readWholeFile(fileIn(L"records.json"), &bytes) || !JsonReader(bytes).readDocument(&records))
        return std::string();
    return stringMember(records, lowerAscii(hostname).c_str());
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
    Json entry;
    if (!JsonReader(line).readDocument(&entry) || entry.kind != Json::Object)
        return false;
    *request = ServiceRequest();
    request->line = line;
    request->method = stringMember(entry, "method");
    request->target = stringMember(entry, "target");
    request->path = stringMember(entry, "path");
    request->query = stringMember(entry, "query");
    request->reply = stringMember(entry, "reply");
    if (const Json* params = entry.member("params")) {
        for (const auto& param : params->members) {
            std::vector<std::string> values;
            for (const Json& item : param.second.items)
                values.push_back(item.text);
            request->params.emplace_back(param.first, values);
        }
    }
    if (const Json* headers = entry.member("headers")) {
        for (const Json& header : headers->items) {
            if (header.items.size() == 2)
                request->headers.emplace_back(header.items[0].text, header.items[1].text);
        }
    }
    if (const Json* length = entry.member("body_length"))
        request->bodyLength = length->number;
    if (const Json* status = entry.member("status"))
        request->status = status->kind == Json::Number ? static_cast<int>(status->number) : -1;
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
