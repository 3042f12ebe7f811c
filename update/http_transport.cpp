#include "update/http_transport.h"

#include <windows.h>
#include <winhttp.h>

namespace {

// Reads until the server ends the body, a read fails (the connection broke
// off: what arrived is kept) or the body reaches kMaxBodyBytes, so a broken
// or hostile server cannot make the client hold an unbounded reply.
std::string readBody(HINTERNET request)
{
    std::string body;
    char buffer[kReadBufferBytes];
    while (body.size() < kMaxBodyBytes) {
        DWORD room = static_cast<DWORD>(kMaxBodyBytes - body.size());
        DWORD wanted = room < kReadChunkBytes ? room : kReadChunkBytes;
        DWORD received = 0;
        if (!WinHttpReadData(request, buffer, wanted, &received) || received == 0)
            break;
        body.append(buffer, received);
    }
    return body;
}

}  // namespace

HttpResponse httpsGet(const std::wstring& host, const std::wstring& path,
                      const wchar_t* extraHeader, bool ignoreCertErrors)
{
    HttpResponse response;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;

    HINTERNET session = WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    if (session) {
        WinHttpSetTimeouts(session, kNetworkTimeoutMs, kNetworkTimeoutMs, kNetworkTimeoutMs,
                           kNetworkTimeoutMs);
        // The wait for the response headers has a time-out of its own that
        // WinHttpSetTimeouts leaves alone; under Wine its default lets a server
        // that takes the request and never answers hold the worker for minutes.
        DWORD responseTimeout = kNetworkTimeoutMs;
        WinHttpSetOption(session, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                         sizeof responseTimeout);
        connection = WinHttpConnect(session, host.c_str(), kHttpsPort, 0);
    }
    if (connection) {
        // No escape flags: WinHTTP's default escaping of unsafe characters
        // (spaces, for one) is the only change the path undergoes.
        request = WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                     WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
    }
    if (request) {
        if (ignoreCertErrors) {
            DWORD flags = kIgnoreAllCertErrorFlags;
            WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
        }
        if (extraHeader)
            WinHttpAddRequestHeaders(request, extraHeader, static_cast<DWORD>(-1), WINHTTP_ADDREQ_FLAG_ADD);

        if (WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
            WinHttpReceiveResponse(request, nullptr)) {
            DWORD status = 0;
            DWORD statusSize = sizeof status;
            // A failed query leaves 0, which the caller reports as "http_0".
            WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX);
            response.statusCode = status;
            response.body = readBody(request);
            response.ok = true;
        }
    }

    if (request)
        WinHttpCloseHandle(request);
    if (connection)
        WinHttpCloseHandle(connection);
    if (session)
        WinHttpCloseHandle(session);
    return response;
}
