// The resource header: control and menu identifiers of every window of the
// program, and the icon group's id. Plain #defines, so that the resource
// script (lumaroth.rc) and the C++ read the same numbers.
#pragma once

// Tray menu
#define IDM_TRAY_SHOW 2001
#define IDM_TRAY_EXIT 2003

// Status panel
#define IDC_LABEL_USERNAME 3001
#define IDC_LABEL_HOSTNAME 3002
#define IDC_LABEL_IP 3003
#define IDC_LABEL_NEXT_CHECK 3004
#define IDC_VALUE_USERNAME 3011
#define IDC_VALUE_HOSTNAME 3012
#define IDC_VALUE_IP 3013
#define IDC_VALUE_NEXT_CHECK 3014
#define IDC_UPDATE_IP 3020
#define IDC_EDIT_HOST 3021
#define IDC_LOGOUT 3022  // stands on the login panel
#define IDC_STATUS_LINE 3030
#define IDC_WEBSITE_LINK 3031

// Login panel
#define IDC_EDIT_HOSTNAME 4001
#define IDC_EDIT_USERNAME 4002
#define IDC_EDIT_KEY 4003
#define IDC_LOGIN 4010
#define IDC_CANCEL 4011

// Panel titles
#define IDC_STATUS_TITLE 5001
#define IDC_LOGIN_TITLE 5002

// About
#define IDC_ABOUT 6001
#define IDC_ABOUT_VISIT 6002
#define IDC_ABOUT_CLOSE 6003

// Autostart banner
#define IDC_BANNER_TEXT 7001
#define IDC_ENABLE_AUTOSTART 7002

// Resources: the icon group, loaded by the main window, the tray and About
#define IDI_LUMAROTH 101
