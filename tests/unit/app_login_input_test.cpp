// The pure rules of the shell: the startup switch and the login values.
#include <gtest/gtest.h>

#include <string>

#include "app/login_rules.h"
#include "app/startup.h"

namespace {

TEST(AppStartupSwitch, SubstringAndCaseRules)
{
    struct Case {
        const wchar_t* commandLine;
        bool expected;
    };
    const Case cases[] = {
        {nullptr, false},        {L"", false},           {L"/startup", true},   {L"-startup", true},
        {L"foo /startup", true}, {L"/startupnow", true}, {L"x-startupy", true}, {L"/STARTUP", false},
        {L"/Startup", false},    {L"startup", false},    {L"/start up", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine ? testing::PrintToString(std::wstring(c.commandLine)) : "null");
        EXPECT_EQ(hasStartupSwitch(c.commandLine), c.expected);
    }
}

TEST(AppLoginInput, NormalizeTrimsSpacesAndLowersAsciiOnly)
{
    struct Case {
        std::wstring input;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"", L""},
        {L"    ", L""},
        {L"  Home.Example.NET  ", L"home.example.net"},
        {L"\tKey\t", L"\tkey\t"},
        {L"\u00A0a\u00A0", L"\u00A0a\u00A0"},
        {L" a b ", L"a b"},
        {L"\u00C4\u00D6\u00DC\u0130Z", L"\u00C4\u00D6\u00DC\u0130z"},
        {L"@[`{", L"@[`{"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input));
        EXPECT_EQ(normalizeLoginField(c.input), c.expected);
    }
}

TEST(AppLoginInput, ProblemsAreFoundInOrder)
{
    const std::wstring required = L"All fields are required.";
    const std::wstring bar = L"The hostname and username cannot contain the character |.";
    const std::wstring tooLong = L"The hostname, username and key are too long to be saved.";
    // "h|u|" plus the key: 4 bytes of separators and names.
    const std::wstring keyAtLimit(2556, L'k');
    // U+1D11E, n times.
    auto pairs = [](size_t n) {
        std::wstring text;
        for (size_t i = 0; i < n; ++i)
            text += L"\U0001D11E";
        return text;
    };
    const std::wstring loneHigh(1, static_cast<wchar_t>(0xD834));
    struct Case {
        const char* name;
        std::wstring hostname, username, key;
        std::wstring expected;
    };
    const Case cases[] = {
        {"fine", L"h.example.net", L"u", L"k", L""},
        {"no-host", L"", L"u", L"k", required},
        {"no-user", L"h", L"", L"k", required},
        {"no-key", L"h", L"u", L"", required},
        {"empty-wins-over-bar", L"h|x", L"", L"k", required},
        {"bar-host", L"h|x", L"u", L"k", bar},
        {"bar-user", L"h", L"|", L"k", bar},
        {"bar-key-ok", L"h", L"u", L"|k|", L""},
        {"bar-wins-over-length", L"h|", L"u", std::wstring(3000, L'k'), bar},
        {"at-limit", L"h", L"u", keyAtLimit, L""},
        {"one-over", L"h", L"u", keyAtLimit + L"k", tooLong},
        {"utf8-bytes-count", L"h", L"u", std::wstring(853, L'\u4E00'), tooLong},
        {"utf8-at-limit", L"h", L"u", std::wstring(852, L'\u4E00'), L""},
        // A surrogate pair is one character of four bytes; a lone surrogate
        // becomes U+FFFD, three bytes, also at the end of a field.
        {"pairs-at-limit", L"h", L"u", pairs(639), L""},
        {"pairs-one-over", L"h", L"u", pairs(639) + L"k", tooLong},
        {"lone-surrogates-at-limit", loneHigh, loneHigh, keyAtLimit.substr(4), L""},
        {"lone-surrogates-one-over", loneHigh, loneHigh, keyAtLimit.substr(3), tooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(loginInputProblem(c.hostname, c.username, c.key), c.expected);
    }
}

}  // namespace
