// Entry point, start-up, the polling message pump and the status box.
#include "app/app.h"

#include <commctrl.h>

#include "game/clock.h"
#include "game/state.h"
#include "resources/resource.h"
#include "ui/dressing.h"
#include "ui/platform.h"

WCHAR modulePath[MAX_PATH];
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
    while (PeekMessageW(&currentMessage, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessageW(&currentMessage, nullptr, 0, 0) <= 0) {
            quitTaken = true;
            return 1;
        }
        // Keys never reach the controls: no button pressed by Enter or
        // Space, no focus moved by Tab, nothing typed into the status box.
        if (currentMessage.message == WM_KEYDOWN) {
            SendMessageW(dialogWindow, WM_KEYDOWN, currentMessage.wParam, currentMessage.lParam);
            IdleStep();
            return 0;
        }
        TranslateMessage(&currentMessage);
        DispatchMessageW(&currentMessage);
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
    SendMessageW(DialogControl(dialogWindow, IDC_STATUS), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void InitApplication()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CreateBrushes();
    // A path cut off at the buffer's end would give a shortcut that leads
    // nowhere; with none, no shortcut is written.
    DWORD length = GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        modulePath[0] = L'\0';
    // A wide dialog: its controls keep their texts as UTF-16, which an 8-bit
    // control would hold in the system's code page, losing the pound sign.
    dialogWindow = CreateDialogParamW(appInstance, MAKEINTRESOURCEW(IDD_GAME), nullptr,
                                      GameDialogProc, 0);
    if (!dialogWindow)
        return;   // nothing to play in; the main loop ends at once
    SetWindowTextW(dialogWindow, WideText(kCaption).c_str());
    SetTimer(nullptr, 0, 1000, SecondTimerProc);
    ResetGameState();
    CaptureLayout(dialogWindow);
    NewGame();
}

// Before any library loads at run time, a bare name is looked up in the
// system folder only: the game's own folder is no longer searched, neither
// for the game's loads nor for those the system's libraries make for it.
// Looked up by name, as systems before Windows 8 without its update lack it.
// The input method library loads ole32 by name at the first window, and
// under Wine that load still searches the game's folder first; loaded from
// the system folder beforehand, ole32 is found already in memory, and the
// shortcut and the web page later use the same handle.
static void RestrictLibrarySearch()
{
    if (auto restrictSearch = SystemProc<decltype(&SetDefaultDllDirectories)>(
            L"kernel32.dll", "SetDefaultDllDirectories"))
        restrictSearch(LOAD_LIBRARY_SEARCH_SYSTEM32);
    LoadSystemLibrary(L"ole32.dll");
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictLibrarySearch();
    appInstance = instance;
    InitApplication();
    if (dialogWindow) {
        while (!PumpMessages()) {
        }
    }
    LeaveComponentModel();
    return 0;
}
