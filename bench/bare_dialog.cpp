// The floor of the game's design: a modeless dialog kept alive by a loop that
// polls the queue and sleeps 1 ms when it is empty, and nothing else.
#include <windows.h>

#include <cstdio>

#include "bench/bare_resource.h"

static int clickCount = 0;

// A new text at every click, so that each click is seen to be painted.
static void OnButton(HWND window)
{
    char text[32];
    snprintf(text, sizeof text, "CLICK %d", ++clickCount);
    SetDlgItemTextA(window, IDC_BARE_STATUS, text);
}

static INT_PTR CALLBACK BareDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowWindow(window, SW_SHOWNORMAL);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) >= IDC_BARE_FIRST && LOWORD(wParam) < IDC_BARE_FIRST + 4)
            OnButton(window);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return 0;
}

// The same shape as the game's pump: drain, then one idle sleep.
static bool PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessageA(&message, nullptr, 0, 0) <= 0)
            return true;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Sleep(1);
    return false;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_BARE), nullptr, BareDialogProc, 0))
        return 1;
    while (!PumpMessages()) {
    }
    return 0;
}
