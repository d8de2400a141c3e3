// Drives the real game from outside: its process, window and controls, real input, message boxes, screen captures.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Every wait of the driver ends; these are its usual limits in milliseconds.
const int kStartTimeout = 30000;
const int kExitTimeout = 5000;
const int kStepTimeout = 5000;
extern const char kGameCaption[];   // Windows-1252

struct Settings {
    std::string gameExe;   // Windows path of the game under test
    std::string shotDir;   // Windows path where screen captures go
    std::string recording; // --recording: Windows path of the sound card's recording
    int soakMinutes = 0;   // --soak-minutes: 0 runs the short forms
    unsigned seed = 0;     // --seed: 0 draws a fresh one
};
Settings& Config();

// Ends every game the driver started and has not seen end (exit and watchdog).
void EndStartedProcesses();

// One run of the game, from CreateProcess to its exit; the destructor kills it.
class Game {
public:
    explicit Game(const std::string& exe = Config().gameExe);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Starts the process and waits for the captioned window, its last control
    // and "CHOOSE YOUR OWN BOX"; false with Error() otherwise.
    bool Start();
    const std::string& Error() const { return error; }
    HWND Window() const { return window; }
    DWORD Pid() const { return pid; }
    HWND Control(int id) const;
    bool Running() const;

    // Read by window messages; texts are Windows-1252.
    std::string Text(int id) const;
    std::string Caption() const;
    std::vector<std::string> ListLines(int id) const;
    bool Enabled(int id) const;
    RECT ClientRect(int id) const;   // in the window's client coordinates
    bool WaitText(int id, const std::string& text, int timeoutMs = kStepTimeout) const;

    bool Raise() const;
    // A real SendInput click at the control's centre, refused (with Error())
    // unless the game window is uppermost there and the click would reach
    // this very control, enabled.
    bool Click(int id);
    bool ClickClient(POINT client);
    bool PostClose() const;
    bool PressAltF4();
    bool WaitExit(int timeoutMs, DWORD* exitCode);
    void Kill();

private:
    std::string exe, error;
    HANDLE process = nullptr;
    DWORD pid = 0;
    HWND window = nullptr;
};

// One line per control (id, rect, enabled, text, list lines): two boards are
// equal when nothing the player could see or use has changed.
std::vector<std::string> BoardLines(const Game& game);

// The game's message boxes: its top-level dialogs other than the game window.
HWND WaitForMessageBox(const Game& game, const std::string& caption, int timeoutMs = kStepTimeout);
HWND AnyMessageBox(const Game& game);
std::string MessageBoxText(HWND box);
// Clicks the button (IDYES, IDNO, IDOK) with the mouse and waits for the box to go.
bool AnswerMessageBox(HWND box, int buttonId, std::string* error);

void PressKeys(const std::vector<WORD>& keys);
void MoveMouse(POINT screen);
void PressMouse(DWORD flag);
std::vector<HWND> DialogsOfProcess(DWORD pid);
std::string WindowText(HWND window);

// A capture of the X display itself (ImageMagick's import on the root
// window), not anything the game draws for us; saved as shotDir\NAME.png.
struct Shot {
    RECT screen = {};   // the captured area, screen coordinates
    std::vector<BYTE> rgb;
    COLORREF At(int screenX, int screenY) const;
};
bool CaptureScreen(const RECT& area, const std::string& name, Shot* shot, std::string* error);

template <typename Pred>
bool WaitFor(Pred pred, int timeoutMs, int stepMs = 25)
{
    for (DWORD start = GetTickCount(); !pred(); Sleep(stepMs))
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs))
            return pred();
    return true;
}

}  // namespace e2e
