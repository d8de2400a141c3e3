// Drives the real game from outside: its process, its window and controls, input, message boxes.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/probe.h"

namespace e2e {

// Every wait of the driver ends; these are its usual limits in milliseconds.
const int kStartTimeout = 30000;
const int kExitTimeout = 5000;
const int kStepTimeout = 5000;

struct Settings {
    std::string gameExe;    // the game under test, a Windows path
    std::string shotDir;    // where screenshots go, a Windows path
};
Settings& Config();

// The window caption, Windows-1252 bytes.
extern const char kGameCaption[];

// Ends every process the driver started and has not seen end; for the exit
// and the watchdog.
void EndStartedProcesses();

// One run of the game, from CreateProcess to its exit.
class Game {
public:
    explicit Game(const std::string& exePath = Config().gameExe);
    ~Game();   // ends the process if it still runs
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Starts the process and waits until the first deal is on the board: the
    // captioned window, its last control, and the opening status text.
    // False with Error() set when that does not happen in time.
    bool Start();
    const std::string& Error() const { return error; }

    HWND Window() const { return window; }
    DWORD Pid() const { return pid; }
    DWORD ThreadId() const;
    HWND Control(int id) const;
    bool Running() const;

    // Text of a control or window (WM_GETTEXT), as Windows-1252 bytes.
    std::string Text(int id) const;
    std::string Caption() const;
    std::vector<std::string> ListLines(int id) const;
    bool Enabled(int id) const;
    // The control's rectangle in the game window's client coordinates.
    RECT ClientRect(int id) const;
    // Polls until the control shows `text`; false after timeoutMs.
    bool WaitText(int id, const std::string& text, int timeoutMs = kStepTimeout) const;

    // Puts the window on top of the others and makes it the foreground window.
    bool Raise() const;
    // A real mouse click (SendInput) at the centre of the control, after
    // checking that the game window is uppermost there and that the click
    // would reach this control. False, with Error(), when it would not.
    bool Click(int id);
    // A real click at a client point of the window, for places without a control.
    bool ClickClient(POINT client);
    // Presses the mouse button on the control, slides off to a bare place and
    // lets go there: the control takes the focus but is not clicked.
    bool PressAndSlideOff(int id);

    bool PostClose() const;
    // Alt+F4 as keyboard input to the game window.
    bool PressAltF4();
    // True with the exit code when the process ends within timeoutMs.
    bool WaitExit(int timeoutMs, DWORD* exitCode);
    void Kill();

private:
    bool FindWindowOfGame(int timeoutMs);
    // Raises the window and finds the screen centre of a control; false,
    // with Error(), when the game has no such control.
    bool ControlCentre(int id, HWND* control, POINT* screen);

    std::string exe;
    std::string error;
    HANDLE process = nullptr;
    DWORD pid = 0;
    HWND window = nullptr;
};

// Whether and where a control stands, as the driver can read it from outside.
struct ControlState {
    RECT rect;
    bool enabled;
    std::string text;
    std::vector<std::string> lines;
};

// Every control the game may change, by identifier: displays, buttons,
// lists and the three box families.
using BoardState = std::map<int, ControlState>;
BoardState ReadBoard(const Game& game);
// One line per control that differs, empty when the two are the same.
std::vector<std::string> CompareBoards(const BoardState& before, const BoardState& after);

// Message boxes of the game: top-level dialog windows of its process.
HWND WaitForMessageBox(const Game& game, const std::string& caption, int timeoutMs = kStepTimeout);
// Any visible message box of the process, or null.
HWND AnyMessageBox(const Game& game);
std::string MessageBoxText(HWND box);
bool MessageBoxShowsIcon(HWND box);
// Clicks a button of the box (IDYES, IDNO, IDOK) and waits for the box to go.
bool AnswerMessageBox(HWND box, int buttonId, std::string* error);

// A file next to the driver's own program, such as its hook libraries.
std::string DriverFile(const char* name);

// A block of shared memory that a hook procedure of the probe library, run in
// the game's thread, fills when the game window is sent a registered message:
// what it reads is read between two of the game's own steps.
class HookedBlock {
public:
    HookedBlock(const Game& game, const char* hookName, const char* blockName, const char* messageName,
                size_t size);
    ~HookedBlock();
    HookedBlock(const HookedBlock&) = delete;
    HookedBlock& operator=(const HookedBlock&) = delete;
    // Null, with Error(), when the hook could not be installed.
    void* Shared() const { return hook ? shared : nullptr; }
    // Sends the message; false, with Error(), when the game does not answer in time.
    bool Ask(UINT flags, int timeoutMs);
    const std::string& Error() const { return error; }

private:
    const Game& game;
    HMODULE library = nullptr;
    HHOOK hook = nullptr;
    HANDLE mapping = nullptr;
    void* shared = nullptr;
    UINT message = 0;
    std::string error;
};

// Reads the window's fonts and icons from inside the game's thread, through
// the probe library: their handles cannot be read from another process.
bool ReadProbe(const Game& game, ProbeBlock* block, std::string* error);

// Keyboard input to whatever has the focus: each key pressed and released.
void PressKeys(const std::vector<WORD>& keys);
// Real mouse input: the pointer moved to a screen pixel (not waited for), and
// one button event (MOUSEEVENTF_LEFTDOWN, ...).
void MoveMouse(POINT screen);
void PressMouse(DWORD flag);
// The dialog-class top-level windows of a process: its game window and its message boxes.
std::vector<HWND> DialogsOfProcess(DWORD pid);
// The window that has the keyboard focus in the game's thread, or null.
HWND FocusOf(const Game& game);

// Saves a screen capture of the window's rectangle as a 24-bit .bmp in the
// screenshot folder. False when the capture fails.
bool SaveScreenshot(HWND window, const std::string& name, std::string* error);

// Screen pixels of a client rectangle of the window, row by row from the top.
struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> colours;
    COLORREF At(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
};
bool CapturePixels(HWND window, const RECT& client, Pixels* pixels, std::string* error);

// Sleeps until pred() holds or timeoutMs have passed; returns pred()'s last value.
template <typename Pred>
bool WaitFor(Pred pred, int timeoutMs, int stepMs = 25)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (pred())
            return true;
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs))
            return pred();
        Sleep(stepMs);
    }
}

std::string RectText(const RECT& rect);
// Text of any window of the game (WM_GETTEXT), as Windows-1252 bytes.
std::string WindowText(HWND window);
std::string ClassOf(HWND window);

}  // namespace e2e
