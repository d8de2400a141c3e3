// The game dialog's procedure: one case per message, each handed to a handler.
#include "app/app.h"

#include "game/banker.h"
#include "game/boxes.h"
#include "game/state.h"
#include "resources/resource.h"
#include "ui/dressing.h"

static void OnInitDialog(HWND window)
{
    dialogWindow = window;
    ApplyStandardLayout(window);
    ShowWindow(window, SW_SHOWNORMAL);
    HICON icon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_GAME));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // Written once the first board is on the screen: the player is not kept
    // waiting for a file on the desktop.
    desktopShortcutDue = true;
    CreateFonts();
    ApplyTemplateFontAt96Dpi(window);
    ApplyFonts(window);
}

static void OnCommand(HWND window, int controlId)
{
    if (controlId >= IDC_BOX_BUTTON && controlId < IDC_BOX_BUTTON + kBoxCount) {
        OpenBox(controlId - IDC_BOX_BUTTON);
        return;
    }
    switch (controlId) {
    case IDC_DEAL:
        AnswerDeal();
        break;
    case IDC_NO_DEAL:
        AnswerNoDeal();
        break;
    case IDC_NEW_GAME:
        NewGameCommand();
        break;
    case IDC_MORE_GAMES:
    case IDC_HELP:
        OpenMakersPage(window);
        break;
    }
}

INT_PTR CALLBACK GameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return 0;   // no default keyboard focus
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        return 0;
    // A dialog procedure's result for a message is in DWLP_MSGRESULT: here
    // that the background is erased. Unpainted, it is left to the dialog
    // manager's own erase.
    case WM_ERASEBKGND:
        if (!PaintBackground(reinterpret_cast<HDC>(wParam)))
            return FALSE;
        SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    // The colour messages answer with a brush, which the dialog manager
    // passes back to the control as the message's result.
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(OnCtlColor(message, reinterpret_cast<HDC>(wParam)));
    }
    (void)lParam;
    return 0;
}
