// demo_login HOST USER KEY: types an account into the login panel of the
// running Lumaroth.exe and presses "Login", as the user would; exits 0 once
// the status panel shows, 1 otherwise (the login error is printed).
#include "tests/e2e/e2e_app.h"
#include "tests/e2e/e2e_wait.h"

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        fwprintf(stderr, L"usage: demo_login HOST USER KEY\n");
        return 2;
    }
    HWND main = nullptr;
    waitUntil(
        [&] {
            main = FindWindowW(L"LumarothMainWindow", nullptr);
            return main && IsWindowVisible(main) && GetDlgItem(main, 4010);
        },
        60000);
    if (!main || !GetDlgItem(main, 4010)) {
        fwprintf(stderr, L"demo_login: no login panel found\n");
        return 1;
    }
    setItemText(main, 4001, argv[1]);
    setItemText(main, 4002, argv[2]);
    setItemText(main, 4003, argv[3]);
    postClick(main, 4010);
    HWND box = nullptr;
    bool signedIn = waitUntil(
                        [&] {
                            box = FindWindowW(L"#32770", L"Login Error");
                            return GetDlgItem(main, 3030) != nullptr || (box && IsWindowVisible(box));
                        },
                        60000) &&
                    GetDlgItem(main, 3030) != nullptr;
    if (!signedIn) {
        fwprintf(stderr, L"demo_login: login failed: %ls\n", box ? messageBoxText(box).c_str() : L"no answer");
        return 1;
    }
    return 0;
}
