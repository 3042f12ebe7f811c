// The one line of text the user sees for a failed result code.
#pragma once

#include <string>

std::wstring describeResult(const std::string& code);
