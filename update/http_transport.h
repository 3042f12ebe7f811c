// One synchronous HTTPS GET through WinHTTP and the system's default proxy.
// Called on worker threads only.
#pragma once

#include <string>

#include "update/update_types.h"

// The whole exchange, from WinHttpOpen to the end of the body. Each phase has
// its own 15 s time-out, but a peer that sends one byte every 14 s never
// trips it; without a total bound such a peer holds a worker for days, and a
// connectivity check starts every five seconds. The bound is kept here where
// the transport can look at the clock (the response and the body); a phase
// that cannot be interrupted (a trickled TLS handshake) is cut off by the
// caller, which abandons the worker.
inline constexpr unsigned kExchangeDeadlineMs = 30000;

// extraHeader: one header line without CR LF, or nullptr for none. The
// server's certificate is always checked: the request carries the update key.
// A request that cannot be made as asked (TLS 1.2 or later refused, redirects
// left on, the header not added) is not sent, and the result is ok false.
HttpResponse httpsGet(const std::wstring& host, const std::wstring& path, const wchar_t* extraHeader);
