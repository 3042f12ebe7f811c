// The main window's own timers and messages: the workers post the results,
// the tray icon names WM_TRAYICON as its callback, the controller handles
// them all. Plain numbers (WM_USER is 0x0400), so that no <windows.h> is
// needed to name them.
#pragma once

inline constexpr unsigned IDT_COUNTDOWN = 1001;
inline constexpr unsigned IDT_CONNECTIVITY = 1002;
// A failed NIM_ADD of the tray icon is tried again on this one.
inline constexpr unsigned IDT_TRAY_RETRY = 1003;
// One-shot: the end of the running update's or login's time.
inline constexpr unsigned IDT_UPDATE_DEADLINE = 1004;
inline constexpr unsigned IDT_LOGIN_DEADLINE = 1005;

inline constexpr unsigned WM_TRAYICON = 0x0400 + 100;
inline constexpr unsigned WM_UPDATE_RESULT = 0x0400 + 200;
inline constexpr unsigned WM_LOGIN_RESULT = 0x0400 + 201;
inline constexpr unsigned WM_NETWORK_STATE = 0x0400 + 202;
