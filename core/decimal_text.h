// Whole numbers as text, the way printf's "%0Nd" writes them. Written out by
// hand: a swprintf call links MinGW's own C99 formatter, floating point and
// all, into the exe for a few integers. Pure: no <windows.h>.
#pragma once

#include <string>

// minWidth counts the sign, as printf's field width does: (-5, 3) -> "-05".
inline std::wstring decimalText(long long value, int minWidth = 1)
{
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    const int width = minWidth - (value < 0 ? 1 : 0);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, width - digits.size(), L'0');
    return value < 0 ? L"-" + digits : digits;
}
