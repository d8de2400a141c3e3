// The game window as the Win32 side reaches it: the program's instance, the
// dialog and its controls, and the texts handed to the window system. The
// frame (app/) fills the two handles at start-up.
#pragma once
#include <windows.h>

#include <string>

extern HINSTANCE appInstance;
extern HWND dialogWindow;

// The dialog's control with this identifier, from a list made once.
HWND DialogControl(HWND dialog, int controlId);
// Where a moved control goes among its siblings: the top, except a box
// picture, which goes directly below its own button.
HWND StackedBelow(HWND dialog, int controlId);

// The game's texts are Windows-1252 bytes ("£" is 0xA3). Handed to an 8-bit
// call they would go through the system's code page, and a player on a
// Polish or Russian system would read "Ł" or "Ј" for the pound sign; as
// UTF-16 they are the same characters everywhere.
std::wstring WideText(const char* text);
