// The line the user sees for each failed result code the program knows, as
// designed: the unit test checks the classification of every code against it,
// the journeys the status line and the login error after each failure.
#pragma once

#include <string>

struct ResultMessage {
    const char* code;
    const wchar_t* message;
};

inline constexpr ResultMessage kResultMessages[] = {
    {"badauth", L"Invalid username or key (badauth)"},     {"nohost", L"Hostname not found (nohost)"},
    {"notfqdn", L"Invalid hostname format (notfqdn)"},     {"abuse", L"Account blocked (abuse)"},
    {"911", L"Server error, try again later (911)"},       {"ssl_error", L"SSL certificate error"},
    {"network_error", L"Network error, check connection"},
};

// "Server error (HTTP <status>)" for an answer that is no reply, and
// "Update failed: <word>" for any other code.
inline std::wstring httpErrorMessage(const std::wstring& status)
{
    return L"Server error (HTTP " + status + L")";
}
inline std::wstring unknownResultMessage(const std::wstring& word)
{
    return L"Update failed: " + word;
}

// The message of a known code; "" for a code not in the table.
inline std::wstring resultMessage(const std::string& code)
{
    for (const ResultMessage& row : kResultMessages)
        if (code == row.code)
            return row.message;
    return std::wstring();
}
