// What every part of the Win32 side shares: the program's instance, the game
// window and its controls, the texts handed to the system, and the system
// libraries loaded at run time. The frame (app/) fills the two handles at
// start-up.
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

// A system library loaded at run time, from the system folder only: a file
// of the same name beside the game, where any web page may have dropped it
// into the player's Downloads, is never loaded. Each is loaded once and kept
// for the whole run, by name. Null if there is none.
HMODULE LoadSystemLibrary(const WCHAR* name);

// A procedure of a system library, as a pointer of the type of its declaration
// (SystemProc<decltype(&PlaySoundA)>): declared by the headers but looked up at
// run time, so that a library is loaded only when the game first needs it, and
// a procedure that an older system lacks is null instead of a failed start.
template <typename Proc>
Proc SystemProc(const WCHAR* library, const char* procName)
{
    HMODULE module = LoadSystemLibrary(library);
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, procName)))
                  : nullptr;
}
