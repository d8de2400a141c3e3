// The program's frame: its globals, start-up, the pump and the dialog procedure.
#pragma once
#include <windows.h>

#include "ui/window.h"

// The program file's path, as UTF-16: any folder name, in any script, on a
// system of any code page.
extern WCHAR modulePath[MAX_PATH];
extern MSG currentMessage;

void InitApplication();
void IdleStep();
INT_PTR CALLBACK GameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Places every control of the template at its pixel place at the standard
// dialog units, and gives the client area the background's size.
void ApplyStandardLayout(HWND dialog);
// Records where each box's picture, button and board plate stand.
void CaptureLayout(HWND dialog);

// Writes nothing when the target is empty or the shortcut's path too long.
void CreateDesktopShortcut(HWND owner, const char* name, const WCHAR* target);
// Set by the window's initialisation; the first pump to empty the queue, the
// one that paints the first board, writes the shortcut and clears it.
extern bool desktopShortcutDue;
// Leaves the component model if the shortcut or the web page entered it.
void LeaveComponentModel();
void OpenMakersPage(HWND owner);
