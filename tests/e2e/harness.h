// Drives the real game from outside: its process, window and controls, real input, message boxes, screen captures;
// and the driver's frame: cases in groups, checks that name the failing row, the summary.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace e2e {

struct TestCase { std::string name; std::function<void()> run; };
struct CaseAbort { std::string reason; };   // thrown by Require: the case cannot go on

// Each returns its condition; a failure prints a line naming the case and `what`.
bool Check(bool ok, const std::string& what);
bool CheckText(const std::string& actual, const std::string& expected, const std::string& what);
void Require(bool ok, const std::string& what);
void Note(const std::string& text);
void RunCases(const std::string& group, const std::vector<TestCase>& cases);   // each failing alone
[[noreturn]] void AbortRun(const std::string& reason);   // the watchdog's way out
int PrintSummary();   // "N passed, M failed" on a line of its own; 1 if any failed
std::string Printable(const std::string& text);   // "£" shows as \xA3
std::string Format(const char* format, ...);

// Storm, closing, session: long forms with --soak-minutes; sound: none without --recording (8-bit mono, 11025/s).
std::vector<TestCase> WindowTests(), GameTests(), NewGameTests(), ShellTests(), StormTests(), ClosingTests(),
    SessionTests(), SoundTests();

const int kStartTimeout = 30000, kExitTimeout = 5000, kStepTimeout = 5000;   // ms
// Windows-1252, as every text of the game: the caption, the statuses the checks name; the amounts, smallest first.
extern const char kGameCaption[], kChoose[], kPress[], kOver[], kDealt[], kNoDeal[];
extern const float kAmounts[22];

struct Settings {
    std::string gameExe, shotDir, recording, references;   // Windows paths, UTF-8: the game, captures, --recording's sound card take, --references
    bool renew = false;             // --renew: the captures become the references
    int codePage = 0;               // --code-page: the system code page the run must have, checked first
    int soakMinutes = 0;            // --soak-minutes: 0 runs the short forms
    int seed = 0;                   // --seed: 0 draws a fresh one
};
Settings& Config();
void EndStartedProcesses();              // for the exit and the watchdog
std::string WindowText(HWND window);     // WM_GETTEXT, through Narrow
// As Windows-1252, the game's own texts; a character outside it as "<U+XXXX>", so that it never equals one of them.
std::string Narrow(const std::wstring& wide);
std::wstring Wide(const std::string& utf8);   // paths are UTF-8: a folder's name may be in any script
RECT RectIn(HWND parent, HWND window);   // in the parent's client coordinates (screen for null)

template <typename Pred>
bool WaitFor(Pred pred, int timeoutMs, int stepMs = 25)
{
    for (DWORD start = GetTickCount(); !pred(); Sleep(stepMs))
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) return pred();
    return true;
}

// One run of the game, from CreateProcess to its exit; the destructor kills it.
class Game {
public:
    explicit Game(const std::string& exe = Config().gameExe) : exe(exe) {}
    ~Game() { Kill(); }
    // And wait for the captioned window, its last control and "CHOOSE YOUR OWN BOX". A fixed clock reads the unit tests'
    // midsummer time for the game's seed, so that it deals their midsummer deal, every time.
    bool Start(bool fixedClock = false);
    const std::string& Error() const { return error; }
    HWND Window() const { return window; }
    DWORD Pid() const { return pid; }
    // Under Wine each GetDlgItem of another process's window walks all 88 controls: each is looked up once.
    HWND Control(int id) const { HWND& known = controls[id]; return known || !window ? known : known = GetDlgItem(window, id); }
    bool Running() const { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
    std::string Text(int id) const { return WindowText(Control(id)); }
    std::vector<std::string> ListLines(int id) const;
    bool Enabled(int id) const { return Control(id) && IsWindowEnabled(Control(id)); }
    RECT ClientRect(int id) const { return RectIn(window, Control(id)); }
    bool WaitText(int id, const std::string& text, int ms = kStepTimeout) const { return WaitFor([&] { return Text(id) == text; }, ms); }
    bool Raise() const;
    // A real click at the centre, refused unless it would reach this control, enabled, with the game uppermost.
    bool Click(int id);
    bool PostClose() const { return PostMessageA(window, WM_CLOSE, 0, 0) != 0; }
    bool PressAltF4();
    bool WaitExit(int ms, DWORD* code) { return process && !WaitForSingleObject(process, ms) && GetExitCodeProcess(process, code); }
    void Kill() { Running() && TerminateProcess(process, 99) && WaitForSingleObject(process, kExitTimeout); }

private:
    std::string exe, error;
    HANDLE process = nullptr;
    DWORD pid = 0;
    HWND window = nullptr;
    mutable std::map<int, HWND> controls;
};

std::vector<std::string> BoardLines(const Game& game);   // per control: id, place, enabled, text, list lines
HWND WaitForMessageBox(const Game& game, const std::string& caption, int timeoutMs = kStepTimeout);
HWND AnyMessageBox(const Game& game);
bool AnswerMessageBox(HWND box, int buttonId, std::string* error);   // a mouse click on the button
// Waits for the message box `caption`, checks its text unless `text` is empty, and clicks `button`.
void Answer(const Game& game, const std::string& caption, const std::string& text, int button);
void PressKeys(const std::vector<WORD>& keys);
void MoveMouse(POINT screen);
void PressMouse(DWORD flags, LONG dx = 0, LONG dy = 0);   // button flags, or a move
std::vector<HWND> DialogsOfProcess(DWORD pid);

// A capture of the X display itself by ImageMagick's import (CheckLook's), also saved as shotDir\NAME.png.
struct Shot {
    RECT screen = {};   // the captured area
    std::vector<BYTE> rgb;
    COLORREF At(int x, int y) const   // screen coordinates
    {
        size_t i = 3 * (static_cast<size_t>(y - screen.top) * (screen.right - screen.left) + (x - screen.left));
        return i + 2 < rgb.size() ? RGB(rgb[i], rgb[i + 1], rgb[i + 2]) : CLR_INVALID;
    }
};
// The game window against the reference picture `moment` (in --references), region by region: each control in sight,
// the wood between them, and the frame with its title bar; for a `variant` (another scaling) the client area alone.
// With --renew the capture becomes the reference.
void CheckLook(const Game& game, const std::string& moment, const std::string& variant = "");

}  // namespace e2e
