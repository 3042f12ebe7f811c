// What more than one window of the program shares: the website, the window
// classes, the main window's size and the colour notation. Plain numbers and
// strings, so that the pure text code can include it without <windows.h>.
#pragma once

// --- Texts and classes -----------------------------------------------------
inline constexpr wchar_t kWebsiteUrl[] = L"https://www.vexlumen.net/";
inline constexpr wchar_t kFrameClass[] = L"LumarothFrame";
inline constexpr wchar_t kAlertClass[] = L"LumarothAlert";
inline constexpr wchar_t kAboutClass[] = L"LumarothAbout";

// --- Sizes -----------------------------------------------------------------
inline constexpr int kClientWidth = 470;
inline constexpr int kClientHeight = 248;

// --- Drawing (0x00BBGGRR, the layout of a Win32 COLORREF) -----------------
inline constexpr unsigned long rgbColor(unsigned r, unsigned g, unsigned b)
{
    return r | (g << 8) | (b << 16);
}
inline constexpr unsigned long kColorWhite = rgbColor(0xFF, 0xFF, 0xFF);
