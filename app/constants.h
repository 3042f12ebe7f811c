// Fixed values of the service and of the program: host names, paths, names in
// the registry and credential manager, window classes, timers and messages.
// Plain numbers and strings only, so that pure code can include it without
// <windows.h>.
#pragma once

#include "res/version.h"

// --- The service ---------------------------------------------------------
inline constexpr wchar_t kUpdateServerHost[] = L"dynupdate.vexlumen.net";
inline constexpr wchar_t kWebsiteUrl[] = L"https://www.vexlumen.net/";
inline constexpr wchar_t kSetupGuideUrl[] = L"https://www.vexlumen.net/setup-guide";

// --- HTTPS transport -----------------------------------------------------
inline constexpr wchar_t kUserAgent[] = L"Lumaroth-Client/" LUMAROTH_VERSION_WIDE L" Windows";
inline constexpr unsigned short kHttpsPort = 443;
inline constexpr int kNetworkTimeoutMs = 15000;     // each of resolve, connect, send, receive
inline constexpr unsigned long kReadChunkBytes = 4095;
inline constexpr unsigned long kReadBufferBytes = 4096;
// Replies are a few bytes; a server that sends more is broken or hostile.
inline constexpr unsigned long kMaxBodyBytes = 64 * 1024;
// SECURITY_FLAG_IGNORE_UNKNOWN_CA | _CERT_WRONG_USAGE | _CERT_CN_INVALID | _CERT_DATE_INVALID
inline constexpr unsigned long kIgnoreAllCertErrorFlags = 0x3300;

// --- Update protocol -----------------------------------------------------
inline constexpr wchar_t kUpdatePathPrefix[] = L"/?hostname=";
inline constexpr wchar_t kConnectivityPath[] = L"/dyndns/getip";
inline constexpr wchar_t kAuthorizationPrefix[] = L"Authorization: Basic ";
// Result codes: the reply words the client acts on and its own two codes.
inline constexpr char kCodeGood[] = "good";
inline constexpr char kCodeNochg[] = "nochg";
inline constexpr char kCodeNetworkError[] = "network_error";
inline constexpr char kHttpCodePrefix[] = "http_";          // + the decimal HTTP status
inline constexpr unsigned kHttpStatusOk = 200;

// --- Persistence ---------------------------------------------------------
inline constexpr wchar_t kStateKey[] = L"Software\\Lumaroth";
inline constexpr wchar_t kValueLastIp[] = L"ddns_last_ip";
inline constexpr wchar_t kValueLastTime[] = L"ddns_last_time";
inline constexpr wchar_t kValueIpChangeTime[] = L"ddns_ip_change_time";
inline constexpr unsigned long kStateReadBufferBytes = 2048;
inline constexpr wchar_t kCredentialTarget[] = L"Vexlumen";
inline constexpr wchar_t kCredentialComment[] = L"Lumaroth Dynamic DNS Client";
inline constexpr unsigned long kMaxCredentialBlobBytes = 2560;   // CRED_MAX_CREDENTIAL_BLOB_SIZE
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Lumaroth";
inline constexpr wchar_t kStartupSwitch[] = L"/startup";
inline constexpr wchar_t kStartupSwitchAlt[] = L"-startup";

// --- Process and windows -------------------------------------------------
inline constexpr wchar_t kSingleInstanceMutex[] = L"Lumaroth_SingleInstance_Mutex";
inline constexpr wchar_t kMainWindowClass[] = L"LumarothMainWindow";
inline constexpr wchar_t kFrameClass[] = L"LumarothFrame";
inline constexpr wchar_t kAlertClass[] = L"LumarothAlert";
inline constexpr wchar_t kAboutClass[] = L"LumarothAbout";
inline constexpr wchar_t kMainWindowTitle[] = L"Vexlumen - Free Dynamic DNS v" LUMAROTH_VERSION_WIDE;
inline constexpr wchar_t kAboutWindowTitle[] = L"About Lumaroth Client";
inline constexpr int kIconResourceId = 101;
inline constexpr int kClientWidth = 470;
inline constexpr int kClientHeight = 248;
inline constexpr int kBannerOffset = 40;
inline constexpr int kAboutClientWidth = 360;
inline constexpr int kAboutClientHeight = 308;

// --- Timers and application messages (WM_USER is 0x0400) -----------------
inline constexpr unsigned IDT_COUNTDOWN = 1001;
inline constexpr unsigned IDT_CONNECTIVITY = 1002;
inline constexpr unsigned kCountdownPeriodMs = 1000;
inline constexpr unsigned kConnectivityPeriodMs = 5000;
inline constexpr int kCountdownStart = 120;

inline constexpr unsigned WM_TRAYICON = 0x0400 + 100;
inline constexpr unsigned WM_UPDATE_RESULT = 0x0400 + 200;
inline constexpr unsigned WM_LOGIN_RESULT = 0x0400 + 201;
inline constexpr unsigned WM_NETWORK_STATE = 0x0400 + 202;
inline constexpr unsigned kTrayIconId = 1;

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

// A value field with nothing to show: U+2014 EM DASH.
inline constexpr wchar_t kPlaceholder[] = L"\u2014";

// --- Application shell texts ---------------------------------------------
inline constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";
inline constexpr wchar_t kTrayTip[] = L"Vexlumen";
inline constexpr wchar_t kTrayNoticeTitle[] = L"Lumaroth is still running";
inline constexpr wchar_t kTrayNoticeText[] =
    L"The app is minimized to the system tray. Click the icon to reopen.";
inline constexpr unsigned kTrayNoticeTimeoutMs = 4000;
inline constexpr wchar_t kTrayMenuShow[] = L"Show Lumaroth";
inline constexpr wchar_t kTrayMenuExit[] = L"Exit";
inline constexpr wchar_t kConnectionLostText[] = L"No network connection";
inline constexpr wchar_t kLoginErrorCaption[] = L"Login Error";
inline constexpr wchar_t kFieldsRequiredText[] = L"All fields are required.";
inline constexpr wchar_t kSeparatorInFieldText[] =
    L"The hostname and username cannot contain the character |.";
inline constexpr wchar_t kAccountTooLongText[] =
    L"The hostname, username and key are too long to be saved.";
inline constexpr wchar_t kLogoutCaption[] = L"Confirm Logout";
inline constexpr wchar_t kLogoutQuestion[] =
    L"Are you sure you want to log out?\n\nAll saved hostname and account information will be deleted.";
// The login dialog reads at most this many UTF-16 units per field, NUL included.
inline constexpr int kLoginFieldBufferChars = 512;
// InitCommonControlsEx: ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES.
inline constexpr unsigned long kCommonControlClasses = 0x40FF;
