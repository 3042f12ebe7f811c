#include "update/http_transport.h"

#include <windows.h>
#include <winhttp.h>

#include <utility>

#include "core/scoped_win.h"
#include "res/version.h"

namespace {

const wchar_t kUserAgent[] = L"Lumaroth-Client/" LUMAROTH_VERSION_WIDE L" Windows";
const INTERNET_PORT kHttpsPort = INTERNET_DEFAULT_HTTPS_PORT;
const int kNetworkTimeoutMs = 15000;  // each of resolve, connect, send, receive
const DWORD kReadChunkBytes = 4095;
const DWORD kReadBufferBytes = 4096;
// Replies are a few bytes; a server that sends more is broken or hostile.
const DWORD kMaxBodyBytes = 64 * 1024;

// TLS 1.2 and 1.3 only. Windows 7 speaks only SSL 3 and TLS 1.0 unless asked,
// and a system that does not know the 1.3 flag refuses the whole value; one
// that knows neither (Windows 7 without its TLS 1.2 update for WinHTTP,
// KB3140245) makes no exchange at all.
const DWORD kSecureProtocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
const DWORD kSecureProtocolsFallback = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;

// Milliseconds left before the deadline, 0 once it has passed.
DWORD remainingMs(ULONGLONG deadline)
{
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// No single wait may reach past the deadline: option is the time-out of the
// wait to come, at most the phase's own.
void boundTimeout(HINTERNET request, DWORD option, DWORD remaining)
{
    DWORD timeout = remaining < static_cast<DWORD>(kNetworkTimeoutMs) ? remaining : kNetworkTimeoutMs;
    WinHttpSetOption(request, option, &timeout, sizeof timeout);
}

// Reads until the server ends the body, a read fails (the connection broke
// off: what arrived is kept) or the body reaches kMaxBodyBytes, so a broken
// or hostile server cannot make the client hold an unbounded reply. False
// when the deadline passed first: a reply that slow counts as none.
bool readBody(HINTERNET request, ULONGLONG deadline, std::string& body)
{
    char buffer[kReadBufferBytes];
    while (body.size() < kMaxBodyBytes) {
        const DWORD remaining = remainingMs(deadline);
        if (remaining == 0)
            return false;
        boundTimeout(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, remaining);
        // Only what has arrived: a read of a whole chunk waits until the chunk
        // is full, one trickled byte after another, and the deadline would
        // never be looked at.
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available))
            return remainingMs(deadline) > 0;
        if (available == 0)
            return true;
        DWORD room = static_cast<DWORD>(kMaxBodyBytes - body.size());
        DWORD wanted = room < kReadChunkBytes ? room : kReadChunkBytes;
        if (available < wanted)
            wanted = available;
        DWORD received = 0;
        if (!WinHttpReadData(request, buffer, wanted, &received) || received == 0)
            return remainingMs(deadline) > 0;
        body.append(buffer, received);
    }
    return true;
}

// Fails closed: a request that cannot be made exactly as asked carries the
// key somewhere it must not go (a redirect's host) or reaches the server
// without it, which reads as a wrong key ("badauth") for what is a local
// failure. Not sent, it ends as no answer.
bool prepareRequest(HINTERNET request, const wchar_t* extraHeader)
{
    // A 3xx would otherwise be followed with the Authorization header to
    // whatever host it names; unfollowed it is an ordinary status.
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    if (!WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects))
        return false;
    if (extraHeader && !WinHttpAddRequestHeaders(request, extraHeader, static_cast<DWORD>(-1), WINHTTP_ADDREQ_FLAG_ADD))
        return false;
    return true;
}

// The session's time-outs and its protocol floor. A time-out that cannot be
// set leaves a bound on top of working defaults; a floor that cannot be set
// leaves the system's own protocols, TLS 1.0 or older, and the key is not
// sent over those: false, and the exchange ends as no answer.
bool configureSession(HINTERNET session)
{
    WinHttpSetTimeouts(session, kNetworkTimeoutMs, kNetworkTimeoutMs, kNetworkTimeoutMs, kNetworkTimeoutMs);
    // The wait for the response headers has a time-out of its own that
    // WinHttpSetTimeouts leaves alone; under Wine its default lets a server
    // that takes the request and never answers hold the worker for minutes.
    DWORD responseTimeout = kNetworkTimeoutMs;
    WinHttpSetOption(session, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout, sizeof responseTimeout);
    DWORD protocols = kSecureProtocols;
    if (WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols))
        return true;
    protocols = kSecureProtocolsFallback;
    return WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols) != FALSE;
}

}  // namespace

HttpResponse httpsGet(const std::wstring& host, const std::wstring& path, const wchar_t* extraHeader)
{
    HttpResponse response;
    const ULONGLONG deadline = GetTickCount64() + kExchangeDeadlineMs;

    const ScopedInternet session(
        WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session || !configureSession(session.get()))
        return response;
    const ScopedInternet connection(WinHttpConnect(session.get(), host.c_str(), kHttpsPort, 0));
    if (!connection)
        return response;
    // No escape flags: WinHTTP's default escaping of unsafe characters
    // (spaces, for one) is the only change the path undergoes.
    const ScopedInternet request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                    WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE));
    if (!request || !prepareRequest(request.get(), extraHeader))
        return response;

    // The wait for the headers ends at the deadline as well.
    boundTimeout(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, remainingMs(deadline));
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return response;
    if (!WinHttpReceiveResponse(request.get(), nullptr) || remainingMs(deadline) == 0)
        return response;
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    // A failed query leaves 0, which the caller reports as "http_0".
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX);
    std::string body;
    if (!readBody(request.get(), deadline, body))
        return response;
    response.ok = true;
    response.statusCode = status;
    response.body = std::move(body);
    return response;
}
