// A small JSON reader and writer for the update service's files (config.json,
// records.json, requests.log). Text is UTF-8 throughout.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member called key, or nullptr (also when this is no object).
    const JsonValue* find(const std::string& key) const;
    // The string member called key, or "" when absent or not a string.
    std::string stringAt(const std::string& key) const;
};

// Parses one JSON document; false on any syntax error.
bool parseJson(const std::string& text, JsonValue& out);

// A JSON string literal (quotes included) for UTF-8 text.
std::string jsonQuote(const std::string& text);
