// The floor of the game's design: the game's own window, from its template and resources, kept alive by the
// game's polling loop, and nothing else (no layout, fonts, brushes or rules). A click of a box button shows a
// new status text. With the word "sound" on its command line the first such click also plays one of the game's
// sounds, so that the bench can tell how much memory the sound stack brings.
#include <windows.h>

#include <cstring>
#include <cwchar>

#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

static bool withSound = false;

// winmm as the game loads it: at run time, at the first sound, and from the system folder only.
static void PlayOneSound()
{
    HMODULE winmm = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    auto play = winmm ? reinterpret_cast<decltype(&PlaySoundW)>(reinterpret_cast<void*>(GetProcAddress(winmm, "PlaySoundW"))) : nullptr;
    if (play)
        play(MAKEINTRESOURCEW(IDR_SOUND_BASE), GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC);
}

static INT_PTR CALLBACK FloorDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    static int clicks = 0;
    wchar_t text[32];
    switch (message) {
    case WM_INITDIALOG:
        ShowWindow(window, SW_SHOWNORMAL);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) >= IDC_BOX_BUTTON && LOWORD(wParam) < IDC_BOX_BUTTON + 22) {   // not the status's notices
            swprintf(text, sizeof text / sizeof *text, L"BOX %d, CLICK %d", LOWORD(wParam) - IDC_BOX_BUTTON + 1, ++clicks);
            SetDlgItemTextW(window, IDC_STATUS, text);
            if (withSound && clicks == 1)
                PlayOneSound();
        }
        return 0;
    case WM_CLOSE:   // nothing is measured past this: the thread's end takes the window with it
        PostQuitMessage(0);
        return 0;
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    withSound = strcmp(commandLine, "sound") == 0;
    if (!CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_GAME), nullptr, FloorDialogProc, 0))
        return 1;
    for (MSG message;; Sleep(1))   // the same shape as the game's pump: drain, then one idle sleep
        while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
            if (GetMessageW(&message, nullptr, 0, 0) <= 0)
                return 0;
            else
                TranslateMessage(&message), DispatchMessageW(&message);
}
