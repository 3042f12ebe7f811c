#include "tests/common/json.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct Reader {
    const std::string& text;
    size_t at = 0;

    void skipSpace()
    {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
            ++at;
    }

    bool literal(const char* word)
    {
        size_t length = std::char_traits<char>::length(word);
        if (text.compare(at, length, word) != 0)
            return false;
        at += length;
        return true;
    }

    static void appendUtf8(std::string& out, unsigned long code)
    {
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
            out += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xF0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3F));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }

    bool hex4(unsigned long& code)
    {
        if (at + 4 > text.size())
            return false;
        code = std::strtoul(text.substr(at, 4).c_str(), nullptr, 16);
        at += 4;
        return true;
    }

    bool string(std::string& out)
    {
        if (at >= text.size() || text[at] != '"')
            return false;
        ++at;
        while (at < text.size() && text[at] != '"') {
            char c = text[at++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at >= text.size())
                return false;
            char escape = text[at++];
            switch (escape) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                unsigned long code = 0;
                if (!hex4(code))
                    return false;
                // A surrogate pair spells one character above U+FFFF.
                if (code >= 0xD800 && code < 0xDC00 && literal("\\u")) {
                    unsigned long low = 0;
                    if (!hex4(low))
                        return false;
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, code);
                break;
            }
            default:
                out += escape;
                break;
            }
        }
        if (at >= text.size())
            return false;
        ++at;
        return true;
    }

    bool value(JsonValue& out)
    {
        skipSpace();
        if (at >= text.size())
            return false;
        char c = text[at];
        if (c == '{') {
            out.kind = JsonValue::Kind::Object;
            ++at;
            skipSpace();
            if (at < text.size() && text[at] == '}') {
                ++at;
                return true;
            }
            for (;;) {
                skipSpace();
                std::string key;
                if (!string(key))
                    return false;
                skipSpace();
                if (at >= text.size() || text[at++] != ':')
                    return false;
                JsonValue member;
                if (!value(member))
                    return false;
                out.members.emplace_back(std::move(key), std::move(member));
                skipSpace();
                if (at < text.size() && text[at] == ',') {
                    ++at;
                    continue;
                }
                if (at < text.size() && text[at] == '}') {
                    ++at;
                    return true;
                }
                return false;
            }
        }
        if (c == '[') {
            out.kind = JsonValue::Kind::Array;
            ++at;
            skipSpace();
            if (at < text.size() && text[at] == ']') {
                ++at;
                return true;
            }
            for (;;) {
                JsonValue item;
                if (!value(item))
                    return false;
                out.items.push_back(std::move(item));
                skipSpace();
                if (at < text.size() && text[at] == ',') {
                    ++at;
                    continue;
                }
                if (at < text.size() && text[at] == ']') {
                    ++at;
                    return true;
                }
                return false;
            }
        }
        if (c == '"') {
            out.kind = JsonValue::Kind::String;
            return string(out.text);
        }
        if (literal("true")) {
            out.kind = JsonValue::Kind::Bool;
            out.boolean = true;
            return true;
        }
        if (literal("false")) {
            out.kind = JsonValue::Kind::Bool;
            return true;
        }
        if (literal("null"))
            return true;
        const char* begin = text.c_str() + at;
        char* end = nullptr;
        out.number = std::strtod(begin, &end);
        if (end == begin)
            return false;
        out.kind = JsonValue::Kind::Number;
        at += size_t(end - begin);
        return true;
    }
};

}  // namespace

const JsonValue* JsonValue::find(const std::string& key) const
{
    for (const auto& member : members)
        if (member.first == key)
            return &member.second;
    return nullptr;
}

std::string JsonValue::stringAt(const std::string& key) const
{
    const JsonValue* member = find(key);
    return member && member->kind == Kind::String ? member->text : std::string();
}

bool parseJson(const std::string& text, JsonValue& out)
{
    Reader reader{text};
    out = JsonValue();
    if (!reader.value(out))
        return false;
    reader.skipSpace();
    return reader.at == text.size();
}

std::string jsonQuote(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}
