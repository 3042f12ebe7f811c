#include "core/system_error.h"

#include <iterator>

#include "core/decimal_text.h"

DWORD lastErrorCode()
{
    const DWORD code = GetLastError();
    return code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE;
}

std::wstring systemErrorText(DWORD code)
{
    // System messages are a line or two; one too long for this falls back
    // to the bare number below.
    wchar_t buffer[512] = {};
    // IGNORE_INSERTS: a message with %1 in it would otherwise read arguments
    // that are not there.
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    // System messages end in CR LF, which would leave an empty line in a box.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        text = L"Error " + decimalText(code) + L".";
    return text;
}

std::wstring withSystemReason(const wchar_t* text, DWORD code)
{
    return std::wstring(text) + L"\n\n" + systemErrorText(code);
}
