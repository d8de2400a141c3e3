// A stand-in for the web browser, found by the shell for iexplore.exe: notes how it was started, in the temporary folder.
#include <windows.h>

#include <cstdio>

int main()
{
    STARTUPINFOW startup = {sizeof startup};
    wchar_t path[MAX_PATH + 16] = L"";
    GetStartupInfoW(&startup), GetTempPathW(MAX_PATH, path), lstrcatW(path, L"browser.txt");
    if (FILE* file = _wfopen(path, L"w"))
        fprintf(file, "show %d %ls", startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1, GetCommandLineW()), fclose(file);
}
