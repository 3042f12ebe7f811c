// The records the update client hands around. Standard types only: the reply
// classification is pure and is tested without <windows.h>.
#pragma once

#include <cstdint>
#include <string>

// What one HTTPS request yields. ok is true once the response headers arrived.
struct HttpResponse {
    bool ok = false;
    uint32_t statusCode = 0;
    std::string body;  // raw bytes, as received
};

// What one update or login attempt yields. code is the lower-cased reply word,
// "network_error", or "http_" plus the status; ip is an IP address text or
// empty.
struct UpdateResult {
    bool success = false;
    std::string code = "network_error";
    std::string ip;
};

// Result codes: the reply words the client acts on and its own two codes.
inline constexpr char kCodeGood[] = "good";
inline constexpr char kCodeNetworkError[] = "network_error";
inline constexpr char kHttpCodePrefix[] = "http_";  // + the decimal HTTP status
inline constexpr unsigned kHttpStatusOk = 200;
