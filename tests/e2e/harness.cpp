// Drives the real game from outside: its process, window and controls, real input, message boxes, screen captures.
#include "tests/e2e/harness.h"

#include <cstdio>

#include "resources/resource.h"
#include "tests/e2e/check.h"

namespace e2e {

const char kGameCaption[] = "QUORVANT - UK - \xA3" "250,000 JACKPOT";

Settings& Config()
{
    static Settings settings;
    return settings;
}

// The games this driver started, for the watchdog thread too.
static std::vector<HANDLE> started;
static CRITICAL_SECTION* StartedLock()
{
    static CRITICAL_SECTION section;
    static bool ready = (InitializeCriticalSection(&section), true);
    return ready ? &section : nullptr;
}

void EndStartedProcesses()
{
    EnterCriticalSection(StartedLock());
    for (HANDLE process : started)
        if (TerminateProcess(process, 99))
            WaitForSingleObject(process, kExitTimeout);
    LeaveCriticalSection(StartedLock());
}

// SendMessageTimeout in the wide form: the game's texts come back as UTF-16
// across processes, and a stuck game must not stop the driver.
static bool Ask(HWND target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    DWORD_PTR answer = 0;
    bool ok = SendMessageTimeoutW(target, message, wParam, lParam, SMTO_ABORTIFHUNG, kStepTimeout, &answer);
    *result = static_cast<LRESULT>(answer);
    return ok;
}

static std::string AskText(HWND target, UINT lengthMessage, UINT textMessage, WPARAM index)
{
    LRESULT length = 0, copied = 0;
    if (!target || !Ask(target, lengthMessage, index, 0, &length) || length < 0)
        return "<no answer>";
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    WPARAM size = textMessage == WM_GETTEXT ? wide.size() : index;
    if (!Ask(target, textMessage, size, reinterpret_cast<LPARAM>(&wide[0]), &copied) || copied < 0)
        return "<no answer>";
    std::string text(static_cast<size_t>(copied) * 2, '\0');
    text.resize(WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(copied), &text[0],
                                    static_cast<int>(text.size()), nullptr, nullptr));
    return text;
}

std::string WindowText(HWND target)
{
    return AskText(target, WM_GETTEXTLENGTH, WM_GETTEXT, 0);
}

static std::string ClassOf(HWND target)
{
    char name[64] = "";
    GetClassNameA(target, name, sizeof name);
    return name;
}

// ---- the process ---------------------------------------------------------

Game::Game(const std::string& exePath) : exe(exePath) {}

Game::~Game()
{
    Kill();
}

bool Game::Start()
{
    std::string folder = exe.substr(0, exe.find_last_of("\\/"));
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        error = Format("CreateProcess(%s) failed with error %lu", exe.c_str(), GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    process = info.hProcess;
    pid = info.dwProcessId;
    EnterCriticalSection(StartedLock());
    started.push_back(process);
    LeaveCriticalSection(StartedLock());
    WaitFor([&] {
        for (HWND candidate : DialogsOfProcess(pid))
            if (IsWindowVisible(candidate) && WindowText(candidate) == kGameCaption)
                window = candidate;
        return window || !Running();
    }, kStartTimeout);
    if (!window)
        error = Running() ? "no window captioned " + Printable(kGameCaption) : "the game ended at start";
    else if (!WaitFor([&] { return Control(IDC_HELP) && Text(IDC_STATUS) == "CHOOSE YOUR OWN BOX"; }, kStartTimeout))
        error = "the status never read \"CHOOSE YOUR OWN BOX\": \"" + Printable(Text(IDC_STATUS)) + "\"";
    return error.empty();
}

HWND Game::Control(int id) const
{
    return window ? GetDlgItem(window, id) : nullptr;
}

bool Game::Running() const
{
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

std::string Game::Text(int id) const
{
    return WindowText(Control(id));
}

std::string Game::Caption() const
{
    return WindowText(window);
}

std::vector<std::string> Game::ListLines(int id) const
{
    LRESULT count = 0;
    if (!Control(id) || !Ask(Control(id), LB_GETCOUNT, 0, 0, &count))
        return {"<no answer>"};
    std::vector<std::string> lines;
    for (LRESULT i = 0; i < count; ++i)
        lines.push_back(AskText(Control(id), LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(i)));
    return lines;
}

bool Game::Enabled(int id) const
{
    return Control(id) && IsWindowEnabled(Control(id));
}

RECT Game::ClientRect(int id) const
{
    RECT rect = {};
    if (Control(id)) {
        GetWindowRect(Control(id), &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

bool Game::WaitText(int id, const std::string& text, int timeoutMs) const
{
    return WaitFor([&] { return Text(id) == text; }, timeoutMs);
}

bool Game::PostClose() const
{
    return PostMessageA(window, WM_CLOSE, 0, 0) != 0;
}

bool Game::WaitExit(int timeoutMs, DWORD* exitCode)
{
    if (!process || WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process, exitCode);
    return true;
}

void Game::Kill()
{
    if (Running() && TerminateProcess(process, 99))
        WaitForSingleObject(process, kExitTimeout);
}

// ---- input ---------------------------------------------------------------

bool Game::Raise() const
{
    return WaitFor([&] {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(window);
        return GetForegroundWindow() == window;
    }, kStepTimeout, 50);
}

void MoveMouse(POINT screen)
{
    // Absolute input runs 0..65535 over the screen; rounding up lands on the pixel.
    INPUT input = {INPUT_MOUSE};
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void PressMouse(DWORD flag)
{
    INPUT input = {INPUT_MOUSE};
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

static bool ClickScreen(POINT screen, std::string* error)
{
    MoveMouse(screen);
    POINT at = {};
    if (!WaitFor([&] { return GetCursorPos(&at) && abs(at.x - screen.x) <= 1 && abs(at.y - screen.y) <= 1; }, 1000)) {
        *error = Format("the pointer went to (%ld,%ld), not (%ld,%ld)", at.x, at.y, screen.x, screen.y);
        return false;
    }
    for (DWORD flag : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        Sleep(30);
        if (flag)
            PressMouse(flag);
    }
    return true;
}

// The top-level window at `screen` must be `window`; raised while another covers it.
static bool Uppermost(HWND window, POINT screen, std::string* error)
{
    if (WaitFor([&] {
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            return GetAncestor(WindowFromPoint(screen), GA_ROOT) == window;
        }, kStepTimeout, 50))
        return true;
    *error = Format("another window covers (%ld,%ld)", screen.x, screen.y);
    return false;
}

// The child that a click at `client` reaches. Statics without SS_NOTIFY and
// group boxes let clicks through, and WindowFromPoint cannot tell that from
// another process, so walk the children from the top of the order.
static HWND ChildHit(HWND parent, POINT client)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        std::string name = ClassOf(child);
        bool through = (lstrcmpiA(name.c_str(), "Static") == 0 && !(style & SS_NOTIFY)) ||
                       (lstrcmpiA(name.c_str(), "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        if (IsWindowVisible(child) && !through && PtInRect(&rect, client))
            return child;
    }
    return nullptr;
}

bool Game::ClickClient(POINT client)
{
    Raise();
    POINT screen = client;
    ClientToScreen(window, &screen);
    return Uppermost(window, screen, &error) && ClickScreen(screen, &error);
}

bool Game::Click(int id)
{
    RECT rect = ClientRect(id);
    POINT client = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    HWND hit = ChildHit(window, client);
    if (!Control(id) || hit != Control(id) || !IsWindowEnabled(Control(id))) {
        error = Format("a click on control %d would reach control %d (enabled %d)", id,
                       hit ? GetDlgCtrlID(hit) : 0, Enabled(id));
        return false;
    }
    return ClickClient(client);
}

static INPUT KeyInput(WORD key, bool up)
{
    INPUT input = {INPUT_KEYBOARD};
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    bool extended = key >= VK_PRIOR && key <= VK_DOWN;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void PressKeys(const std::vector<WORD>& keys)
{
    for (WORD key : keys) {
        INPUT press[] = {KeyInput(key, false), KeyInput(key, true)};
        SendInput(2, press, sizeof press[0]);
        Sleep(20);
    }
}

bool Game::PressAltF4()
{
    if (!Raise()) {
        error = "the game window does not become the foreground window";
        return false;
    }
    // One injection for the chord: Wine resynchronises the key state with the
    // X keyboard (Alt up) when a window gets the focus, maybe between two.
    INPUT chord[] = {KeyInput(VK_MENU, false), KeyInput(VK_F4, false), KeyInput(VK_F4, true), KeyInput(VK_MENU, true)};
    SendInput(4, chord, sizeof chord[0]);
    return true;
}

// ---- the board and message boxes -----------------------------------------

std::vector<std::string> BoardLines(const Game& game)
{
    std::vector<std::string> lines;
    for (HWND child = GetWindow(game.Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        RECT r = game.ClientRect(id);
        std::string line = Format("control %d at (%ld,%ld) %s \"", id, r.left, r.top,
                                  IsWindowEnabled(child) ? "enabled" : "disabled") + Printable(WindowText(child)) + "\"";
        if (ClassOf(child) == "ListBox")
            for (const std::string& item : game.ListLines(id))
                line += " [" + Printable(item) + "]";
        lines.push_back(line);
    }
    return lines;
}

std::vector<HWND> DialogsOfProcess(DWORD pid)
{
    std::pair<DWORD, std::vector<HWND>> search{pid, {}};
    EnumWindows([](HWND candidate, LPARAM param) -> BOOL {
        auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(candidate, &owner);
        if (owner == found->first && ClassOf(candidate) == "#32770")
            found->second.push_back(candidate);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND AnyMessageBox(const Game& game)
{
    for (HWND candidate : DialogsOfProcess(game.Pid()))
        if (candidate != game.Window() && IsWindowVisible(candidate))
            return candidate;
    return nullptr;
}

HWND WaitForMessageBox(const Game& game, const std::string& caption, int timeoutMs)
{
    HWND box = nullptr;
    WaitFor([&] { box = AnyMessageBox(game); return box && WindowText(box) == caption; }, timeoutMs);
    return box && WindowText(box) == caption ? box : nullptr;
}

std::string MessageBoxText(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 && !WindowText(child).empty())
            return WindowText(child);
    return "";
}

bool AnswerMessageBox(HWND box, int buttonId, std::string* error)
{
    HWND button = GetDlgItem(box, buttonId);
    RECT rect = {};
    GetWindowRect(button, &rect);
    POINT screen = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!button || !Uppermost(box, screen, error) || !ClickScreen(screen, error))
        return error->empty() ? (*error = Format("the message box has no button %d", buttonId), false) : false;
    if (!WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kStepTimeout))
        *error = "the message box stayed after the click";
    return error->empty();
}

// ---- screen captures -----------------------------------------------------

COLORREF Shot::At(int x, int y) const
{
    size_t i = 3 * (static_cast<size_t>(y - screen.top) * (screen.right - screen.left) + (x - screen.left));
    return i + 2 < rgb.size() ? RGB(rgb[i], rgb[i + 1], rgb[i + 2]) : CLR_INVALID;
}

// Wine starts a Unix program like any other, but its process handle cannot
// be waited on: the capture announces its end by renaming its output.
bool CaptureScreen(const RECT& area, const std::string& name, Shot* shot, std::string* error)
{
    std::string dir = Config().shotDir, unixDir = dir.substr(2);
    for (char& c : unixDir)
        c = c == '\\' ? '/' : c;
    std::string base = unixDir + "/" + name, ready = dir + "\\" + name + ".ppm";
    std::string command = Format(
        "/bin/sh -c \"/usr/bin/import -window root -crop %ldx%ld+%ld+%ld +repage %s.png && "
        "/usr/bin/convert %s.png %s.part.ppm && /bin/mv %s.part.ppm %s.ppm\"",
        area.right - area.left, area.bottom - area.top, area.left, area.top, base.c_str(), base.c_str(),
        base.c_str(), base.c_str(), base.c_str());
    DeleteFileA(ready.c_str());
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        *error = Format("cannot start import (error %lu)", GetLastError());
        return false;
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    FILE* file = nullptr;
    WaitFor([&] { return (file = fopen(ready.c_str(), "rb")) != nullptr; }, 20000, 50);
    int width = 0, height = 0;
    if (!file || fscanf(file, "P6 %d %d 255", &width, &height) != 2 || fgetc(file) == EOF ||
        width != area.right - area.left || height != area.bottom - area.top) {
        *error = "no capture of the screen came from " + command;
        if (file)
            fclose(file);
        return false;
    }
    shot->screen = area;
    shot->rgb.resize(3 * static_cast<size_t>(width) * height);
    bool read = fread(shot->rgb.data(), 1, shot->rgb.size(), file) == shot->rgb.size();
    fclose(file);
    DeleteFileA(ready.c_str());
    if (!read)
        *error = "a short capture in " + ready;
    return read;
}

}  // namespace e2e
