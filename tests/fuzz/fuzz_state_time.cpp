// The stored time text and the time formatters: a parsed time formats back to
// text that parses to the same time, a written time reads back as the same
// text, and no formatter yields an empty or malformed text.
#include <cstring>
#include <cwchar>
#include <string>

#include "core/time_text.h"
#include "fuzz_check.h"

namespace {

bool endsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // As text: whatever parses formats to a canonical text of the same time.
    const std::wstring text = wideFromBytes(data, size);
    if (std::optional<TimeFields> parsed = parseStateTimeText(text)) {
        const std::wstring canonical = formatStateTime(*parsed);
        std::optional<TimeFields> again = parseStateTimeText(canonical);
        FUZZ_CHECK(again && *again == *parsed);
        FUZZ_CHECK(formatStateTime(*again) == canonical);
    }

    // As six raw numbers: the written text parses back to them.
    if (size < 12)
        return 0;
    int16_t fields[6];
    std::memcpy(fields, data, sizeof fields);
    const TimeFields time{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
    const std::wstring written = formatStateTime(time);
    std::optional<TimeFields> read = parseStateTimeText(written);
    FUZZ_CHECK(read && *read == time);
    FUZZ_CHECK(formatStateTime(*read) == written);
    // The hand-written digits match what printf writes.
    wchar_t printed[64];
    std::swprintf(printed, 64, L"%04d-%02d-%02dT%02d:%02d:%02d", fields[0], fields[1], fields[2], fields[3], fields[4],
                  fields[5]);
    FUZZ_CHECK(written == printed);

    const std::wstring clock = formatClockTime({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
    FUZZ_CHECK(endsWith(clock, L" AM") || endsWith(clock, L" PM"));
    int32_t seconds;
    std::memcpy(&seconds, data, sizeof seconds);
    const std::wstring countdown = formatCountdown(seconds);
    FUZZ_CHECK(countdown.size() >= 6 && countdown.back() == L's');
    std::swprintf(printed, 64, L"%02d:%02ds", seconds / 60, seconds % 60);
    FUZZ_CHECK(countdown == printed);
    int64_t age;
    std::memcpy(&age, data + 4, sizeof age);
    const std::wstring ageText = formatAge(age);
    FUZZ_CHECK(age < 60 ? ageText == L"just now" : endsWith(ageText, L" ago"));
    return 0;
}
