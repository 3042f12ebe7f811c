#include "update/reply_classifier.h"

#include <string>

#include "update/address_text.h"
#include "update/update_types.h"

namespace {

// Besides "good", the one reply word of a taken update: the address was
// already set.
const char kCodeNochg[] = "nochg";

// The server ends its reply with a line break or pads it with blanks; tabs and
// other white space are not its doing and stay part of the reply.
bool isPadding(char c)
{
    return c == '\n' || c == '\r' || c == ' ';
}

std::string trimTrailing(std::string text)
{
    while (!text.empty() && isPadding(text.back()))
        text.pop_back();
    return text;
}

std::string trimLeading(const std::string& text)
{
    size_t start = 0;
    while (start < text.size() && isPadding(text[start]))
        ++start;
    return text.substr(start);
}

// Only A-Z: the reply is bytes of unknown encoding, and a locale-aware
// mapping could change bytes of a multi-byte character.
std::string lowerAscii(std::string word)
{
    for (char& c : word) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return word;
}

}  // namespace

// The update server's reply, on the wire: status 200 and a body of one word,
// optionally followed by one space and the rest of the line, e.g.
//     "good 203.0.113.7\r\n"   "nochg 203.0.113.7"   "badauth"   "911"
// The body is bytes, not text: nothing is decoded, NUL bytes are ordinary.
// LF, CR and space are stripped from both ends of the body; the word is
// everything before the first space, lower-cased (A-Z only); the rest is
// everything after that space, kept as it is when it is an IP address
// (address_text.h) and otherwise dropped: it is shown in the window and
// stored, and any other text there, of any length, is no address of the
// host. Any other status means the server did not answer the update at all
// and is reported as "http_<status>"; no response at all is "network_error".
UpdateResult classifyReply(const HttpResponse& response)
{
    UpdateResult result;
    result.success = false;
    result.code = kCodeNetworkError;
    if (!response.ok)
        return result;

    if (response.statusCode != kHttpStatusOk) {
        result.code = kHttpCodePrefix + std::to_string(static_cast<int>(response.statusCode));
        return result;
    }

    std::string text = trimLeading(trimTrailing(response.body));
    size_t space = text.find(' ');
    std::string word = space == std::string::npos ? text : text.substr(0, space);
    std::string rest = space == std::string::npos ? std::string() : trimTrailing(text.substr(space + 1));

    result.code = lowerAscii(word);
    if (isIpAddressText(rest))
        result.ip = rest;
    result.success = result.code == kCodeGood || result.code == kCodeNochg;
    return result;
}
