// Entry point, start-up, the polling message pump and the status box.
#include "app/app.h"

#include <commctrl.h>

#include "game/clock.h"
#include "game/state.h"
#include "resources/resource.h"
#include "ui/dressing.h"
#include "ui/platform.h"

HINSTANCE appInstance = nullptr;
HWND dialogWindow = nullptr;
char modulePath[MAX_PATH];
MSG currentMessage;

// Once any pump, nested or not, has taken the quit message, every later call
// reports it again: the sequences running further down the stack unwind and
// the main loop ends, instead of the quit being swallowed by a nested pump.
static bool quitTaken = false;
bool desktopShortcutDue = false;

static const char kCaption[] = "QUORVANT - UK - \xA3" "250,000 JACKPOT";

static void CALLBACK SecondTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    OnSecondTimer();
}

void IdleStep()
{
    Sleep(1);
}

int PumpMessages()
{
    if (quitTaken)
        return 1;
    while (PeekMessageA(&currentMessage, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessageA(&currentMessage, nullptr, 0, 0) <= 0) {
            quitTaken = true;
            return 1;
        }
        // Keys never reach the controls: no button pressed by Enter or
        // Space, no focus moved by Tab, nothing typed into the status box.
        if (currentMessage.message == WM_KEYDOWN) {
            SendMessageA(dialogWindow, WM_KEYDOWN, currentMessage.wParam, currentMessage.lParam);
            IdleStep();
            return 0;
        }
        TranslateMessage(&currentMessage);
        DispatchMessageA(&currentMessage);
    }
    if (desktopShortcutDue && dialogWindow) {
        desktopShortcutDue = false;
        CreateDesktopShortcut(dialogWindow, "Quorvant", modulePath);
    }
    IdleStep();
    return 0;
}

void SetStatus(const char* text)
{
    SendMessageA(DialogControl(dialogWindow, IDC_STATUS), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void InitApplication()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CreateBrushes();
    GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    dialogWindow = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_GAME), nullptr,
                                      GameDialogProc, 0);
    if (!dialogWindow)
        return;   // nothing to play in; the main loop ends at once
    SetWindowTextA(dialogWindow, kCaption);
    SetTimer(nullptr, 0, 1000, SecondTimerProc);
    ResetGameState();
    CaptureLayout(dialogWindow);
    NewGame();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    appInstance = instance;
    InitApplication();
    if (dialogWindow) {
        while (!PumpMessages()) {
        }
    }
    LeaveComponentModel();
    return 0;
}
