// The floor of the game's design: a modeless dialog kept alive by a loop that polls the queue and sleeps 1 ms
// when it is empty, and nothing else; each click of its button shows a new status text.
#include <windows.h>

#include <cstdio>

#include "bare_resource.h"

static INT_PTR CALLBACK BareDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    static int clicks = 0;
    char text[32];
    switch (message) {
    case WM_INITDIALOG:
        ShowWindow(window, SW_SHOWNORMAL);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_BARE_BUTTON) {   // not the status's notices
            snprintf(text, sizeof text, "CLICK %d", ++clicks);
            SetDlgItemTextA(window, IDC_BARE_STATUS, text);
        }
        return 0;
    case WM_CLOSE:   // nothing is measured past this: the thread's end takes the window with it
        PostQuitMessage(0);
        return 0;
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_BARE), nullptr, BareDialogProc, 0);
    for (MSG message;; Sleep(1))   // the same shape as the game's pump: drain, then one idle sleep
        while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
            if (GetMessageA(&message, nullptr, 0, 0) <= 0)
                return 0;
            else
                TranslateMessage(&message), DispatchMessageA(&message);
}
