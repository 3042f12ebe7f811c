// The look of the program's windows in one place: window texts and classes,
// sizes, colours and the font face. Plain numbers and strings, so that the
// pure text code can include it without <windows.h>.
#pragma once

#include "res/version.h"

// --- Texts and classes -----------------------------------------------------
inline constexpr wchar_t kWebsiteUrl[] = L"https://www.vexlumen.net/";
inline constexpr wchar_t kMainWindowTitle[] = L"Vexlumen - Free Dynamic DNS v" LUMAROTH_VERSION_WIDE;
inline constexpr wchar_t kAboutWindowTitle[] = L"About Lumaroth Client";
inline constexpr wchar_t kFrameClass[] = L"LumarothFrame";
inline constexpr wchar_t kAlertClass[] = L"LumarothAlert";
inline constexpr wchar_t kAboutClass[] = L"LumarothAbout";
// A value field with nothing to show: U+2014 EM DASH.
inline constexpr wchar_t kPlaceholder[] = L"\u2014";

// --- Sizes -----------------------------------------------------------------
inline constexpr int kClientWidth = 470;
inline constexpr int kClientHeight = 248;
inline constexpr int kBannerOffset = 40;
inline constexpr int kAboutClientWidth = 360;
inline constexpr int kAboutClientHeight = 308;

// --- Drawing (0x00BBGGRR, the layout of a Win32 COLORREF) -----------------
inline constexpr unsigned long rgbColor(unsigned r, unsigned g, unsigned b)
{
    return r | (g << 8) | (b << 16);
}
inline constexpr unsigned long kColorWhite = rgbColor(0xFF, 0xFF, 0xFF);
inline constexpr unsigned long kColorBlack = rgbColor(0x00, 0x00, 0x00);
inline constexpr unsigned long kColorLink = rgbColor(0x00, 0x66, 0xCC);
inline constexpr unsigned long kColorStatusFailed = rgbColor(0xC6, 0x28, 0x28);
inline constexpr unsigned long kColorStatusUpdating = rgbColor(0x15, 0x65, 0xC0);
inline constexpr unsigned long kColorStatusOk = rgbColor(0x2E, 0x7D, 0x32);
inline constexpr unsigned long kColorBannerFill = rgbColor(0x8C, 0x00, 0x00);
inline constexpr unsigned long kColorBannerOutline = rgbColor(0x64, 0x00, 0x00);
inline constexpr unsigned long kColorFrameOutline = rgbColor(0xA0, 0xA0, 0xA0);
inline constexpr unsigned long kColorSeparator = rgbColor(0xC8, 0xC8, 0xC8);
inline constexpr int kCornerEllipse = 8;
inline constexpr wchar_t kFontFace[] = L"Segoe UI";
