#include "update/address_text.h"

#include <cstddef>

namespace {

constexpr size_t kMaxAddressChars = 45;
constexpr int kIpv6Groups = 8;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isDecimalOctet(const std::string& part)
{
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
        return false;
    int value = 0;
    for (char c : part) {
        if (!isDigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    return value <= 255;
}

bool isHexGroup(const std::string& part)
{
    if (part.empty() || part.size() > 4)
        return false;
    for (char c : part)
        if (!isHexDigit(c))
            return false;
    return true;
}

bool isIpv4Text(const std::string& text)
{
    int parts = 0;
    size_t start = 0;
    for (;;) {
        const size_t dot = text.find('.', start);
        if (!isDecimalOctet(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start)))
            return false;
        ++parts;
        if (dot == std::string::npos)
            return parts == 4;
        start = dot + 1;
    }
}

// Adds the groups of one side of "::" (or of the whole text) to groups; an
// IPv4 address counts two and may only end the whole text (endsText).
bool countIpv6Groups(const std::string& side, bool endsText, int& groups)
{
    if (side.empty())
        return true;
    size_t start = 0;
    for (;;) {
        const size_t colon = side.find(':', start);
        const std::string part = side.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        const bool last = colon == std::string::npos;
        if (last && endsText && part.find('.') != std::string::npos) {
            if (!isIpv4Text(part))
                return false;
            groups += 2;
        } else if (isHexGroup(part)) {
            ++groups;
        } else {
            return false;
        }
        if (last)
            return true;
        start = colon + 1;
    }
}

bool isIpv6Text(const std::string& text)
{
    const size_t gap = text.find("::");
    int groups = 0;
    if (gap == std::string::npos)
        return countIpv6Groups(text, true, groups) && groups == kIpv6Groups;
    // ":::" holds a second "::" one place on.
    if (text.find("::", gap + 1) != std::string::npos)
        return false;
    return countIpv6Groups(text.substr(0, gap), false, groups) && countIpv6Groups(text.substr(gap + 2), true, groups) &&
           groups < kIpv6Groups;
}

}  // namespace

bool isIpAddressText(const std::string& text)
{
    return !text.empty() && text.size() <= kMaxAddressChars && (isIpv4Text(text) || isIpv6Text(text));
}
