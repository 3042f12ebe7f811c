#include "tests/common/window_text.h"

namespace {

// A hung program fails the reading test instead of hanging the test program.
constexpr UINT kAnswerLimitMs = 5000;

}  // namespace

std::wstring windowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerLimitMs, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                        kAnswerLimitMs, &copied);
    text.resize(copied);
    return text;
}
