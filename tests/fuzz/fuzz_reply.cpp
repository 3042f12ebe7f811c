// The server's reply: whatever the bytes, the code and the address come from
// the body as the classification rules say, and every failed code has a
// message.
#include <string>

#include "fuzz_check.h"
#include "update/address_text.h"
#include "update/reply_classifier.h"
#include "update/result_messages.h"

namespace {

bool isPadding(char c)
{
    return c == '\n' || c == '\r' || c == ' ';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

// Byte 0: bit 0 "headers arrived", bit 1 "status other than 200" taken from
// bytes 1-4; the rest is the body.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    HttpResponse response;
    response.ok = (data[0] & 1) != 0;
    response.statusCode = (data[0] & 2) ? (data[1] | data[2] << 8 | data[3] << 16 | uint32_t(data[4]) << 24) : 200;
    response.body.assign(reinterpret_cast<const char*>(data + 5), size - 5);

    const UpdateResult result = classifyReply(response);
    FUZZ_CHECK(result.success == (result.code == "good" || result.code == "nochg"));
    if (!response.ok) {
        FUZZ_CHECK(result.code == "network_error" && result.ip.empty());
    } else if (response.statusCode != 200) {
        FUZZ_CHECK(result.code == "http_" + std::to_string(static_cast<int>(response.statusCode)));
        FUZZ_CHECK(result.ip.empty());
    } else {
        // The word starts at the first byte that is not padding, ends at a
        // space or the end of the padding; the address follows that space
        // when the rest is an address text.
        const std::string& body = response.body;
        size_t start = 0;
        while (start < body.size() && isPadding(body[start]))
            ++start;
        FUZZ_CHECK(start + result.code.size() <= body.size());
        for (size_t i = 0; i < result.code.size(); ++i)
            FUZZ_CHECK(lower(body[start + i]) == result.code[i] && body[start + i] != ' ');
        const size_t after = start + result.code.size();
        if (!result.ip.empty()) {
            FUZZ_CHECK(isIpAddressText(result.ip) && result.ip.size() <= 45);
            FUZZ_CHECK(after < body.size() && body[after] == ' ');
            FUZZ_CHECK(body.compare(after + 1, result.ip.size(), result.ip) == 0);
            FUZZ_CHECK(!isPadding(result.ip.back()));
            for (size_t i = after + 1 + result.ip.size(); i < body.size(); ++i)
                FUZZ_CHECK(isPadding(body[i]));
        } else if (after < body.size()) {
            // Nothing but padding after the word, or a rest that is no address.
            size_t end = body.size();
            while (end > after && isPadding(body[end - 1]))
                --end;
            FUZZ_CHECK(end == after ||
                       (body[after] == ' ' && !isIpAddressText(body.substr(after + 1, end - after - 1))));
        }
    }

    const std::wstring message = describeResult(result.code);
    FUZZ_CHECK(!message.empty());
    // At most 64 characters of the word (two units each) and an ellipsis.
    FUZZ_CHECK(message.size() <= 20 + 2 * 64 + 1);
    if (result.code.compare(0, 5, "http_") == 0 && result.code != "http_")
        FUZZ_CHECK(message.compare(0, 19, L"Server error (HTTP ") == 0 && message.back() == L')');
    return 0;
}
