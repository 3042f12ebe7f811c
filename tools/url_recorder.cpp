// Stands in for the web browser in test and demo prefixes: every address that
// the program asks the shell to open is appended to C:\opened-urls.txt, one
// per line (UTF-8), instead of leaving the machine.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    FILE* file = _wfopen(L"C:\\opened-urls.txt", L"ab");
    if (!file)
        return 1;
    for (int i = 1; i < argc; ++i) {
        char line[4096] = {};
        int length = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, line, sizeof line - 1, nullptr, nullptr);
        if (length > 0)
            fprintf(file, "%s\n", line);
    }
    fclose(file);
    return 0;
}
