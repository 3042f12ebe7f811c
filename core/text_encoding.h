// UTF-8 <-> UTF-16. Both take the input with its explicit length, so NUL
// characters inside it convert like any other, and malformed input becomes
// U+FFFD rather than an error.
#pragma once

#include <string>

std::wstring utf8ToWide(const std::string& bytes);
std::string wideToUtf8(const std::wstring& text);
// The size of wideToUtf8(text) in bytes, without making it.
size_t utf8Length(const std::wstring& text);
