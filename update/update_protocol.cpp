#include "update/update_protocol.h"

#include <windows.h>
#include <wincrypt.h>

#include "core/secure_wipe.h"
#include "core/text_encoding.h"
#include "update/http_transport.h"
#include "update/reply_classifier.h"
#include "update/system_dlls.h"
#include "update/update_types.h"

namespace {

// The update server and the fixed parts of its two requests.
const wchar_t kUpdateServerHost[] = L"dynupdate.vexlumen.net";
const wchar_t kUpdatePathPrefix[] = L"/?hostname=";
const wchar_t kConnectivityPath[] = L"/dyndns/getip";
const wchar_t kAuthorizationPrefix[] = L"Authorization: Basic ";

}  // namespace

std::string base64Encode(const std::string& bytes)
{
    const BYTE* data = reinterpret_cast<const BYTE*>(bytes.data());
    const DWORD size = static_cast<DWORD>(bytes.size());
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;

    DWORD length = 0;
    CryptBinaryToStringA(data, size, flags, nullptr, &length);
    std::string text(length, '\0');
    if (length > 0)
        CryptBinaryToStringA(data, size, flags, &text[0], &length);
    // The length asked for counts the terminating NUL; a stray line break
    // at the end must not reach the header line either.
    while (!text.empty() && (text.back() == '\0' || text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

UpdateRequestParts buildUpdateRequest(const std::wstring& hostname, const std::wstring& username,
                                      const std::wstring& updateKey)
{
    // Neither part is escaped: a colon in the user name or key, or an "&" in
    // the host name, goes to the server as it is.
    std::string key = wideToUtf8(updateKey);
    std::string credentials = wideToUtf8(username);
    credentials.reserve(credentials.size() + 1 + key.size());
    credentials.append(1, ':').append(key);
    std::string encoded = base64Encode(credentials);
    std::wstring wideEncoded = utf8ToWide(encoded);
    UpdateRequestParts parts;
    parts.path = kUpdatePathPrefix + hostname;
    parts.header.reserve(std::char_traits<wchar_t>::length(kAuthorizationPrefix) + wideEncoded.size());
    parts.header.append(kAuthorizationPrefix).append(wideEncoded);
    wipeBytes(key);
    wipeBytes(credentials);
    wipeBytes(encoded);
    wipeText(wideEncoded);
    return parts;
}

UpdateResult performUpdate(const std::wstring& hostname, const std::wstring& username, const std::wstring& updateKey)
{
    const UpdateDlls dlls = loadUpdateDlls();
    if (!dlls.loaded())
        return classifyReply(HttpResponse{});
    UpdateRequestParts parts = buildUpdateRequest(hostname, username, updateKey);
    HttpResponse response = httpsGet(kUpdateServerHost, parts.path, parts.header.c_str());
    wipeText(parts.header);
    return classifyReply(response);
}

bool checkConnectivity()
{
    const UpdateDlls dlls = loadUpdateDlls();
    if (!dlls.loaded())
        return false;
    // Verified like an update: an impostor answering the check would make the
    // client start a fresh update every five seconds.
    HttpResponse response = httpsGet(kUpdateServerHost, kConnectivityPath, nullptr);
    return response.ok && response.statusCode == kHttpStatusOk;
}
