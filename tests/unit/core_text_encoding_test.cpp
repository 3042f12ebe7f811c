#include "core/text_encoding.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(TextEncoding, EmptyBothWays)
{
    EXPECT_EQ(utf8ToWide(""), L"");
    EXPECT_EQ(wideToUtf8(L""), "");
}

TEST(TextEncoding, RoundTrips)
{
    const struct {
        std::wstring wide;
        std::string utf8;
    } cases[] = {
        {L"home.example.net", "home.example.net"},
        {L"Gr\u00FC\u00DFe \u20AC", "Gr\xC3\xBC\xC3\x9F"
                                    "e \xE2\x82\xAC"},
        // Outside the BMP: one surrogate pair is four UTF-8 bytes.
        {L"\U0001F511", "\xF0\x9F\x94\x91"},
        {L"key\U0001F511x", "key\xF0\x9F\x94\x91x"},
        // A NUL converts like any other character and does not end the text.
        {L"a\0b"s, "a\0b"s},
        {L"\0"s, "\0"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wideToUtf8(c.wide), c.utf8);
        EXPECT_EQ(utf8ToWide(c.utf8), c.wide);
        EXPECT_EQ(utf8ToWide(c.utf8).size(), c.wide.size());
    }
}

TEST(TextEncoding, MalformedInputBecomesReplacementCharacter)
{
    EXPECT_EQ(utf8ToWide("a\xFF"
                         "b"),
              L"a\uFFFDb");
    EXPECT_EQ(utf8ToWide("\xFF"), L"\uFFFD");
    EXPECT_EQ(utf8ToWide("ok\xC3"), L"ok\uFFFD");  // cut-off sequence at the end
    EXPECT_EQ(wideToUtf8(std::wstring(L"x") + static_cast<wchar_t>(0xD800) + L"y"), "x\xEF\xBF\xBDy");
}

}  // namespace
