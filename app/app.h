// The program's frame: its globals, start-up, the pump and the dialog procedure.
#pragma once
#include <windows.h>

extern HINSTANCE appInstance;
extern HWND dialogWindow;
extern char modulePath[MAX_PATH];
extern MSG currentMessage;

void InitApplication();
void IdleStep();
INT_PTR CALLBACK GameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Places every control of the template at its pixel place at the standard
// dialog units, and gives the client area the background's size.
void ApplyStandardLayout(HWND dialog);
// The dialog's control with this identifier, from a list made once.
HWND DialogControl(HWND dialog, int controlId);
// Where a moved control goes among its siblings: the top, except a box
// picture, which goes directly below its own button.
HWND StackedBelow(HWND dialog, int controlId);
// Records where each box's picture, button and board plate stand.
void CaptureLayout(HWND dialog);

void CreateDesktopShortcut(HWND owner, const char* name, const char* target);
// Set by the window's initialisation; the first pump to empty the queue, the
// one that paints the first board, writes the shortcut and clears it.
extern bool desktopShortcutDue;
// Leaves the component model if the shortcut or the web page entered it.
void LeaveComponentModel();
void OpenMakersPage(HWND owner);
