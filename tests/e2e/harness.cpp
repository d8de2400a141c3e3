// Drives the real game from outside: its process, its window and controls, input, message boxes.
#include "tests/e2e/harness.h"

#include <cstdio>
#include <cstring>

#include "resources/resource.h"
#include "tests/e2e/check.h"

namespace e2e {

const char kGameCaption[] = "QUORVANT - UK - \xA3" "250,000 JACKPOT";

// Everything the game shows is Windows-1252, whatever code page the driver
// itself runs under.
const UINT kGameCodePage = 1252;

Settings& Config()
{
    static Settings settings;
    return settings;
}

// The processes this driver started, so that none outlives it.
// The watchdog thread reads the list too. (The MinGW runtime here has no std::mutex.)
static std::map<DWORD, HANDLE> startedProcesses;

class StartedLock {
public:
    StartedLock() { EnterCriticalSection(Section()); }
    ~StartedLock() { LeaveCriticalSection(Section()); }

private:
    static CRITICAL_SECTION* Section()
    {
        static CRITICAL_SECTION section;
        static bool ready = [] { InitializeCriticalSection(&section); return true; }();
        (void)ready;
        return &section;
    }
};

static void Track(DWORD id, HANDLE process)
{
    StartedLock hold;
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    startedProcesses[id] = copy;
}

static void Untrack(DWORD id)
{
    StartedLock hold;
    auto found = startedProcesses.find(id);
    if (found != startedProcesses.end()) {
        CloseHandle(found->second);
        startedProcesses.erase(found);
    }
}

void EndStartedProcesses()
{
    StartedLock hold;
    for (auto& started : startedProcesses) {
        if (WaitForSingleObject(started.second, 0) == WAIT_TIMEOUT) {
            printf("ending leftover game process %lu\n", started.first);
            TerminateProcess(started.second, 99);
            WaitForSingleObject(started.second, kExitTimeout);
        }
        CloseHandle(started.second);
    }
    startedProcesses.clear();
}

static std::string FromWide(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int size = WideCharToMultiByte(kGameCodePage, 0, wide.data(), static_cast<int>(wide.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(kGameCodePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0],
                        size, nullptr, nullptr);
    return text;
}

// Sends to a window of the game; the time-out keeps a stuck game from
// stopping the driver. False when the game did not answer.
static bool Ask(HWND target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(target, message, wParam, lParam, SMTO_ABORTIFHUNG, kStepTimeout,
                             &answer))
        return false;
    *result = static_cast<LRESULT>(answer);
    return true;
}

static const char kNoAnswer[] = "<no answer>";

std::string WindowText(HWND target)
{
    if (!target)
        return "<no window>";
    LRESULT length = 0;
    if (!Ask(target, WM_GETTEXTLENGTH, 0, 0, &length))
        return kNoAnswer;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!Ask(target, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &copied))
        return kNoAnswer;
    text.resize(static_cast<size_t>(copied));
    return FromWide(text);
}

std::string ClassOf(HWND target)
{
    char name[64] = "";
    GetClassNameA(target, name, sizeof name);
    return name;
}

std::string RectText(const RECT& rect)
{
    return Format("(%ld,%ld %ldx%ld)", rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top);
}

// ---- the process ---------------------------------------------------------

Game::Game(const std::string& exePath) : exe(exePath) {}

Game::~Game()
{
    if (process) {
        if (Running())
            Kill();
        CloseHandle(process);
        Untrack(pid);
    }
}

bool Game::Start()
{
    std::string folder = exe.substr(0, exe.find_last_of("\\/"));
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        error = Format("CreateProcess(%s) failed with error %lu", exe.c_str(), GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    process = info.hProcess;
    pid = info.dwProcessId;
    Track(pid, process);

    if (!FindWindowOfGame(kStartTimeout))
        return false;
    if (!WaitFor([&] { return Control(IDC_HELP) != nullptr || !Running(); }, kStartTimeout) ||
        !Running()) {
        error = "the window's last control (HELP) did not appear";
        return false;
    }
    if (!WaitText(IDC_STATUS, "CHOOSE YOUR OWN BOX", kStartTimeout)) {
        error = "the status never read \"CHOOSE YOUR OWN BOX\"; it reads \"" +
                Printable(Text(IDC_STATUS)) + "\"";
        return false;
    }
    return true;
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

static BOOL CALLBACK CollectDialogsOfProcess(HWND candidate, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    if (owner == search->pid && ClassOf(candidate) == "#32770")
        search->found.push_back(candidate);
    return TRUE;
}

std::vector<HWND> DialogsOfProcess(DWORD pid)
{
    WindowSearch search{pid, {}};
    EnumWindows(CollectDialogsOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Game::FindWindowOfGame(int timeoutMs)
{
    bool found = WaitFor(
        [&] {
            if (!Running())
                return true;
            for (HWND candidate : DialogsOfProcess(pid)) {
                if (IsWindowVisible(candidate) && WindowText(candidate) == kGameCaption) {
                    window = candidate;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    if (found && window)
        return true;
    if (!Running()) {
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        error = Format("the game ended before its window appeared, exit code %lu", code);
        return false;
    }
    error = Format("no window captioned \"%s\" in %d ms; its windows:", Printable(kGameCaption).c_str(),
                   timeoutMs);
    for (HWND candidate : DialogsOfProcess(pid))
        error += " \"" + Printable(WindowText(candidate)) + "\"";
    return false;
}

DWORD Game::ThreadId() const
{
    return GetWindowThreadProcessId(window, nullptr);
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
    std::vector<std::string> lines;
    HWND list = Control(id);
    LRESULT count = 0;
    if (!list || !Ask(list, LB_GETCOUNT, 0, 0, &count) || count < 0)
        return {kNoAnswer};
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0, &length) || length < 0)
            return {kNoAnswer};
        // The list answers in UTF-16 across processes, so ask in the wide form.
        std::wstring line(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        if (!Ask(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&line[0]),
                 &copied) || copied < 0)
            return {kNoAnswer};
        line.resize(static_cast<size_t>(copied));
        lines.push_back(FromWide(line));
    }
    return lines;
}

bool Game::Enabled(int id) const
{
    HWND control = Control(id);
    return control && IsWindowEnabled(control);
}

RECT Game::ClientRect(int id) const
{
    RECT rect = {};
    HWND control = Control(id);
    if (!control)
        return rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Game::WaitText(int id, const std::string& text, int timeoutMs) const
{
    return WaitFor([&] { return Text(id) == text; }, timeoutMs);
}

// ---- input ---------------------------------------------------------------

static bool Raised(HWND window)
{
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    return GetForegroundWindow() == window;
}

bool Game::Raise() const
{
    return WaitFor([&] { return Raised(window); }, kStepTimeout, 50);
}

void MoveMouse(POINT screen)
{
    // Absolute input runs 0..65535 over the screen; rounding up lands the
    // pointer on the intended pixel whichever way the system scales back.
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void PressMouse(DWORD flag)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

static bool ClickScreen(POINT screen, std::string* error)
{
    MoveMouse(screen);
    POINT cursor = {};
    if (!WaitFor([&] { return GetCursorPos(&cursor) && abs(cursor.x - screen.x) <= 1 &&
                              abs(cursor.y - screen.y) <= 1; },
                 1000)) {
        *error = Format("the pointer went to (%ld,%ld), not (%ld,%ld)", cursor.x, cursor.y,
                        screen.x, screen.y);
        return false;
    }
    Sleep(30);
    PressMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(30);
    PressMouse(MOUSEEVENTF_LEFTUP);
    Sleep(30);
    return true;
}

// Statics without SS_NOTIFY and group boxes let clicks through to what lies
// below them; the box pictures stand above the box buttons in z-order yet the
// buttons take the clicks. WindowFromPoint cannot tell from another process.
static bool LetsClicksThrough(HWND child)
{
    std::string name = ClassOf(child);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(name.c_str(), "Static") == 0)
        return (style & SS_NOTIFY) == 0;
    if (lstrcmpiA(name.c_str(), "Button") == 0)
        return (style & BS_TYPEMASK) == BS_GROUPBOX;
    return false;
}

// The child of `parent` that a click at client point `client` reaches.
static HWND ChildHit(HWND parent, POINT client)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || LetsClicksThrough(child))
            continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        if (PtInRect(&rect, client))
            return child;
    }
    return nullptr;
}

static std::string Describe(HWND control)
{
    if (!control)
        return "no control";
    return Format("control %d (%s \"%s\")", GetDlgCtrlID(control), ClassOf(control).c_str(),
                  Printable(WindowText(control)).c_str());
}

// Checks that the top-level window at `screen` is `window` itself, raising it
// while something else covers the point.
static bool Uppermost(HWND window, POINT screen, std::string* error)
{
    HWND top = nullptr;
    bool ok = WaitFor(
        [&] {
            top = GetAncestor(WindowFromPoint(screen), GA_ROOT);
            if (top == window)
                return true;
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            return false;
        },
        kStepTimeout, 50);
    if (!ok)
        *error = Format("another window (\"%s\") covers (%ld,%ld)",
                        Printable(WindowText(top)).c_str(), screen.x, screen.y);
    return ok;
}

bool Game::ControlCentre(int id, HWND* control, POINT* screen)
{
    *control = Control(id);
    if (!*control) {
        error = Format("no control %d", id);
        return false;
    }
    Raise();
    RECT rect;
    GetWindowRect(*control, &rect);
    *screen = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return true;
}

bool Game::Click(int id)
{
    HWND control = nullptr;
    POINT screen = {};
    if (!ControlCentre(id, &control, &screen) || !Uppermost(window, screen, &error))
        return false;
    POINT client = screen;
    ScreenToClient(window, &client);
    HWND hit = ChildHit(window, client);
    if (hit != control) {
        error = Format("a click on control %d at client (%ld,%ld) would reach %s", id, client.x,
                       client.y, Describe(hit).c_str());
        return false;
    }
    if (!IsWindowEnabled(control)) {
        error = Format("control %d is disabled", id);
        return false;
    }
    return ClickScreen(screen, &error);
}

bool Game::ClickClient(POINT client)
{
    Raise();
    POINT screen = client;
    ClientToScreen(window, &screen);
    if (!Uppermost(window, screen, &error))
        return false;
    HWND hit = ChildHit(window, client);
    if (hit) {
        error = Format("client (%ld,%ld) is not bare: %s", client.x, client.y, Describe(hit).c_str());
        return false;
    }
    return ClickScreen(screen, &error);
}

// A place of the client area where no control stands.
static const POINT kBarePlace = {380, 545};

bool Game::PressAndSlideOff(int id)
{
    HWND control = nullptr;
    POINT screen = {};
    if (!ControlCentre(id, &control, &screen))
        return false;
    POINT bare = kBarePlace;
    ClientToScreen(window, &bare);
    if (!Uppermost(window, screen, &error) || !Uppermost(window, bare, &error))
        return false;
    MoveMouse(screen);
    Sleep(50);
    PressMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(50);
    MoveMouse(bare);
    Sleep(50);
    PressMouse(MOUSEEVENTF_LEFTUP);
    Sleep(50);
    return true;
}

static INPUT KeyInput(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    bool extended = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN ||
                    key == VK_HOME || key == VK_END || key == VK_PRIOR || key == VK_NEXT ||
                    key == VK_DELETE || key == VK_INSERT;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

static void SendKey(WORD key, bool up)
{
    INPUT input = KeyInput(key, up);
    SendInput(1, &input, sizeof input);
    Sleep(20);
}

void PressKeys(const std::vector<WORD>& keys)
{
    for (WORD key : keys) {
        SendKey(key, false);
        SendKey(key, true);
    }
}

bool Game::PressAltF4()
{
    if (!Raise()) {
        // Without a window manager a click is the sure way to activate it.
        ClickClient(kBarePlace);
        if (!Raise()) {
            error = "the game window does not become the foreground window";
            return false;
        }
    }
    // One injection for the whole chord: under Wine on X a window that has
    // just got the focus resynchronises the key state with the X keyboard,
    // where Alt is up, and can do so between two separate injections.
    INPUT chord[] = {KeyInput(VK_MENU, false), KeyInput(VK_F4, false), KeyInput(VK_F4, true),
                     KeyInput(VK_MENU, true)};
    SendInput(4, chord, sizeof chord[0]);
    return true;
}

HWND FocusOf(const Game& game)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(game.ThreadId(), &info))
        return nullptr;
    return info.hwndFocus;
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
    if (Running()) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, kExitTimeout);
    }
}

// ---- inside the game ------------------------------------------------------

std::string DriverFile(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file = path;
    return file.substr(0, file.find_last_of('\\') + 1) + name;
}

HookedBlock::HookedBlock(const Game& watched, const char* hookName, const char* blockName, const char* messageName,
                         size_t size)
    : game(watched)
{
    std::string file = DriverFile("quorvant_e2e_probe.dll");
    library = LoadLibraryA(file.c_str());
    auto procedure = library ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, hookName)))
                             : nullptr;
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size),
                                 blockName);
    if (mapping)
        shared = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size);
    if (procedure && shared)
        hook = SetWindowsHookExA(WH_CALLWNDPROC, procedure, library, game.ThreadId());
    message = RegisterWindowMessageA(messageName);
    if (!hook)
        error = Format("cannot hook %s of %s into the game's thread", hookName, file.c_str());
}

HookedBlock::~HookedBlock()
{
    if (hook)
        UnhookWindowsHookEx(hook);
    if (shared)
        UnmapViewOfFile(shared);
    if (mapping)
        CloseHandle(mapping);
}

bool HookedBlock::Ask(UINT flags, int timeoutMs)
{
    DWORD_PTR ignored = 0;
    if (hook && SendMessageTimeoutA(game.Window(), message, 0, 0, flags, static_cast<UINT>(timeoutMs), &ignored))
        return true;
    if (hook)
        error = Format("the game did not answer within %d ms", timeoutMs);
    return false;
}

bool ReadProbe(const Game& game, ProbeBlock* block, std::string* error)
{
    HookedBlock hooked(game, kProbeHookName, kProbeBlockName, kProbeMessageName, sizeof(ProbeBlock));
    auto* shared = static_cast<ProbeBlock*>(hooked.Shared());
    if (!shared) {
        *error = hooked.Error();
        return false;
    }
    memset(shared, 0, sizeof *shared);
    bool ok = hooked.Ask(SMTO_ABORTIFHUNG, kStepTimeout) && shared->filled;
    if (ok)
        *block = *shared;
    else
        *error = "the probe did not report from inside the game";
    return ok;
}

// ---- the board -----------------------------------------------------------

static std::vector<int> BoardControls()
{
    std::vector<int> ids = {IDC_DEAL, IDC_OFFER_LIST, IDC_WIN_HISTORY, IDC_STATUS, IDC_OFFER,
                            IDC_BANK, IDC_OFFER_LIST_LABEL, IDC_WIN_HISTORY_LABEL,
                            IDC_BANK_LABEL, IDC_NO_DEAL, IDC_NEW_GAME, IDC_MORE_GAMES, IDC_HELP};
    const int kBoxCount = 22;
    for (int i = 0; i < kBoxCount; ++i) {
        ids.push_back(IDC_BOX_BUTTON + i);
        ids.push_back(IDC_BOX_PICTURE + i);
        ids.push_back(IDC_BOARD_VALUE + i);
    }
    return ids;
}

BoardState ReadBoard(const Game& game)
{
    BoardState board;
    for (int id : BoardControls()) {
        ControlState& state = board[id];
        state.rect = game.ClientRect(id);
        state.enabled = game.Enabled(id);
        state.text = game.Text(id);
        if (id == IDC_OFFER_LIST || id == IDC_WIN_HISTORY)
            state.lines = game.ListLines(id);
    }
    return board;
}

static std::string Joined(const std::vector<std::string>& lines)
{
    std::string text = "[";
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? ", \"" : "\"") + Printable(lines[i]) + "\"";
    return text + "]";
}

std::vector<std::string> CompareBoards(const BoardState& before, const BoardState& after)
{
    std::vector<std::string> differences;
    for (const auto& entry : before) {
        int id = entry.first;
        const ControlState& was = entry.second;
        auto found = after.find(id);
        if (found == after.end()) {
            differences.push_back(Format("control %d: missing", id));
            continue;
        }
        const ControlState& now = found->second;
        if (!EqualRect(&was.rect, &now.rect))
            differences.push_back(Format("control %d moved: %s -> %s", id, RectText(was.rect).c_str(),
                                         RectText(now.rect).c_str()));
        if (was.enabled != now.enabled)
            differences.push_back(Format("control %d: %s -> %s", id,
                                         was.enabled ? "enabled" : "disabled",
                                         now.enabled ? "enabled" : "disabled"));
        if (was.text != now.text)
            differences.push_back(Format("control %d text: \"%s\" -> \"%s\"", id,
                                         Printable(was.text).c_str(), Printable(now.text).c_str()));
        if (was.lines != now.lines)
            differences.push_back(Format("control %d lines: %s -> %s", id, Joined(was.lines).c_str(),
                                         Joined(now.lines).c_str()));
    }
    return differences;
}

// ---- message boxes -------------------------------------------------------

HWND WaitForMessageBox(const Game& game, const std::string& caption, int timeoutMs)
{
    HWND box = nullptr;
    WaitFor(
        [&] {
            for (HWND candidate : DialogsOfProcess(game.Pid())) {
                if (candidate != game.Window() && IsWindowVisible(candidate) &&
                    WindowText(candidate) == caption) {
                    box = candidate;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return box;
}

HWND AnyMessageBox(const Game& game)
{
    for (HWND candidate : DialogsOfProcess(game.Pid()))
        if (candidate != game.Window() && IsWindowVisible(candidate))
            return candidate;
    return nullptr;
}

static HWND MessageBoxTextControl(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 && !WindowText(child).empty())
            return child;
    return nullptr;
}

// Some systems keep an empty icon control in every message box and lay the
// text over it when there is no icon; a shown icon stands beside the text.
bool MessageBoxShowsIcon(HWND box)
{
    HWND text = MessageBoxTextControl(box);
    RECT textRect = {};
    if (text)
        GetWindowRect(text, &textRect);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") != 0 || !IsWindowVisible(child) ||
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        RECT iconRect, overlap;
        GetWindowRect(child, &iconRect);
        if (!IsRectEmpty(&iconRect) && !IntersectRect(&overlap, &iconRect, &textRect))
            return true;
    }
    return false;
}

std::string MessageBoxText(HWND box)
{
    // The message text is the box's only static with text.
    HWND text = MessageBoxTextControl(box);
    return text ? WindowText(text) : std::string();
}

bool AnswerMessageBox(HWND box, int buttonId, std::string* error)
{
    HWND button = GetDlgItem(box, buttonId);
    if (!button) {
        *error = Format("the message box has no button %d", buttonId);
        return false;
    }
    RECT rect;
    GetWindowRect(button, &rect);
    POINT screen = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!WaitFor([&] { SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                       return WindowFromPoint(screen) == button; },
                 kStepTimeout, 50)) {
        *error = "the message box's button is covered";
        return false;
    }
    if (!ClickScreen(screen, error))
        return false;
    if (!WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kStepTimeout)) {
        *error = "the message box stayed after the click";
        return false;
    }
    return true;
}

// ---- screenshots ---------------------------------------------------------

static size_t RowBytes(int width)
{
    return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
}

static bool WriteBmp(const std::string& path, int width, int height, const std::vector<BYTE>& rows)
{
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;   // bottom-up, as GetDIBits gave them
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(rows.size());
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;   // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
              fwrite(rows.data(), 1, rows.size(), out) == rows.size();
    return fclose(out) == 0 && ok;
}

// The screen's pixels inside `area` (screen coordinates), as bottom-up 24-bit rows.
static bool CaptureScreen(const RECT& area, std::vector<BYTE>* rows, std::string* error)
{
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    rows->assign(RowBytes(width) * static_cast<size_t>(height), 0);
    int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), rows->data(), &info,
                          DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied || lines != height) {
        *error = Format("screen capture failed (BitBlt %d, %d of %d lines)", copied, lines, height);
        return false;
    }
    return true;
}

bool SaveScreenshot(HWND window, const std::string& name, std::string* error)
{
    RECT rect;
    GetWindowRect(window, &rect);
    std::vector<BYTE> rows;
    if (!CaptureScreen(rect, &rows, error))
        return false;
    CreateDirectoryA(Config().shotDir.c_str(), nullptr);
    std::string path = Config().shotDir + "\\" + name + ".bmp";
    if (!WriteBmp(path, rect.right - rect.left, rect.bottom - rect.top, rows)) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool CapturePixels(HWND window, const RECT& client, Pixels* pixels, std::string* error)
{
    RECT area = client;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    std::vector<BYTE> rows;
    if (!CaptureScreen(area, &rows, error))
        return false;
    pixels->width = area.right - area.left;
    pixels->height = area.bottom - area.top;
    pixels->colours.assign(static_cast<size_t>(pixels->width) * static_cast<size_t>(pixels->height), 0);
    size_t stride = RowBytes(pixels->width);
    for (int y = 0; y < pixels->height; ++y) {
        const BYTE* row = rows.data() + stride * static_cast<size_t>(pixels->height - 1 - y);
        for (int x = 0; x < pixels->width; ++x) {
            const BYTE* bgr = row + 3 * x;
            pixels->colours[static_cast<size_t>(y) * pixels->width + x] = RGB(bgr[2], bgr[1], bgr[0]);
        }
    }
    return true;
}

}  // namespace e2e
