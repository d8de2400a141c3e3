// Drives the real game from outside: its process, window and controls, real input, message boxes, screen captures;
// and counts passed and failed cases, reporting each failure.
#include "tests/e2e/harness.h"
#include <tlhelp32.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "resources/resource.h"

namespace e2e {

const char kGameCaption[] = "QUORVANT - UK - \xA3" "250,000 JACKPOT", kChoose[] = "CHOOSE YOUR OWN BOX",
           kPress[] = "PRESS THE DEAL BUTTON OR NO DEAL BUTTON",
           kOver[] = "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'",
           kDealt[] = "DEAL! NOW CARRY ON AND OPEN THE BOXES", kNoDeal[] = "NO DEAL! NOW CARRY ON AND OPEN THE BOXES";
const float kAmounts[22] = {0.01f, 0.10f, 0.50f, 1, 5, 10, 50, 100, 250, 500, 750,
                            1000, 3000, 5000, 10000, 15000, 20000, 35000, 50000, 75000, 100000, 250000};
static int passed = 0, failed = 0;
static std::string running, group;   // the case, and its group, which names its captures: shards share a folder
static bool runningFailed = false;

bool Check(bool ok, const std::string& what) { return ok || (printf("  FAIL %s: %s\n", running.c_str(), what.c_str()), runningFailed = true, false); }
bool CheckText(const std::string& actual, const std::string& expected, const std::string& what)
{ return Check(actual == expected, what + ": got \"" + Printable(actual) + "\", expected \"" + Printable(expected) + "\""); }

void Require(bool ok, const std::string& what) { if (!ok) throw CaseAbort{what}; }
void Note(const std::string& text) { printf("  note %s: %s\n", running.c_str(), text.c_str()); }
int PrintSummary() { return printf("%d passed, %d failed\n", passed, failed), failed ? 1 : 0; }

void RunCases(const std::string& group, const std::vector<TestCase>& cases)
{
    for (const TestCase& testCase : cases) {
        running = (e2e::group = group) + ": " + testCase.name;
        runningFailed = false;
        DWORD start = GetTickCount();
        try { testCase.run(); } catch (const CaseAbort& abort) { Check(false, "ended early: " + abort.reason); }
        printf("%s %s (%.1f s)\n", runningFailed ? "FAILED" : "ok    ", running.c_str(), (GetTickCount() - start) / 1000.0);
        ++(runningFailed ? failed : passed);
    }
}

void AbortRun(const std::string& reason)
{
    if (!running.empty()) printf("  FAIL %s: %s\nFAILED %s\n", running.c_str(), reason.c_str(), running.c_str()), ++failed;
    EndStartedProcesses(), PrintSummary(), ExitProcess(1);
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) out += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c)) : Format("\\x%02X", c);
    return out;
}

std::string Format(const char* format, ...)
{
    char buffer[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

Settings& Config() { static Settings settings; return settings; }
static std::vector<HANDLE> started;   // also read by the watchdog thread
static CRITICAL_SECTION startedLock;
static bool lockReady = (InitializeCriticalSection(&startedLock), true);

void EndStartedProcesses()
{
    EnterCriticalSection(&startedLock);
    for (HANDLE process : started) TerminateProcess(process, 99) && WaitForSingleObject(process, kExitTimeout);
    LeaveCriticalSection(&startedLock);
}

// Texts cross processes as UTF-16; the time-out keeps a stuck game from stopping the driver.
static std::string AskText(HWND target, UINT lengthMessage, UINT textMessage, WPARAM index)
{
    DWORD_PTR length = 0, copied = 0;
    if (!SendMessageTimeoutW(target, lengthMessage, index, 0, SMTO_ABORTIFHUNG, kStepTimeout, &length)) return "<no answer>";
    std::wstring wide(length + 1, L'\0');
    SendMessageTimeoutW(target, textMessage, textMessage == WM_GETTEXT ? wide.size() : index,
                        reinterpret_cast<LPARAM>(&wide[0]), SMTO_ABORTIFHUNG, kStepTimeout, &copied);
    return Narrow(wide.substr(0, std::min(copied, length)));
}

std::string Narrow(const std::wstring& wide)
{
    std::string text;
    char byte = 0;
    BOOL lost = FALSE;
    for (wchar_t c : wide)
        text += WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, &c, 1, &byte, 1, nullptr, &lost) == 1 && !lost ? std::string(1, byte)
                                                                                                             : Format("<U+%04X>", unsigned(c));
    return text;
}

std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    return wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], int(wide.size())) - 1), wide;
}

std::string WindowText(HWND target) { return AskText(target, WM_GETTEXTLENGTH, WM_GETTEXT, 0); }
static bool IsClass(HWND window, const char* name)
{ char found[32] = ""; return GetClassNameA(window, found, sizeof found) && lstrcmpiA(found, name) == 0; }
RECT RectIn(HWND parent, HWND window)
{ RECT rect = {}; return GetWindowRect(window, &rect), MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2), rect; }

// Under the debugger until its loader has run, the game's GetSystemTime becomes a few instructions that write the fixed
// time (2024-06-15, a Saturday, 09:30:45.250); then the debugger lets it go. The library lies at the same offset in both.
static bool FixClock(const PROCESS_INFORMATION& info, std::string* error)
{
    HMODULE here = GetModuleHandleA("kernelbase.dll");
    const BYTE* function = reinterpret_cast<const BYTE*>(GetProcAddress(here, "GetSystemTime"));
    // The argument on the stack (stdcall) or in rcx; four stores of two words each, SYSTEMTIME's order; ret 4 or ret.
    const std::string code = sizeof(void*) == 4
        ? std::string("\x8B\x44\x24\x04\xC7\x00\xE8\x07\x06\x00\xC7\x40\x04\x06\x00\x0F\x00\xC7\x40\x08\x09\x00\x1E\x00\xC7\x40\x0C\x2D\x00\xFA\x00\xC2\x04\x00", 34)
        : std::string("\xC7\x01\xE8\x07\x06\x00\xC7\x41\x04\x06\x00\x0F\x00\xC7\x41\x08\x09\x00\x1E\x00\xC7\x41\x0C\x2D\x00\xFA\x00\xC3", 28);
    DEBUG_EVENT event;
    bool patched = false;
    while (!patched && WaitForDebugEvent(&event, kStartTimeout)) {
        DWORD kind = event.dwDebugEventCode;
        kind == CREATE_PROCESS_DEBUG_EVENT ? CloseHandle(event.u.CreateProcessInfo.hFile) : kind == LOAD_DLL_DEBUG_EVENT && CloseHandle(event.u.LoadDll.hFile);
        bool loaded = kind == EXCEPTION_DEBUG_EVENT && event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT;
        HANDLE snapshot = loaded ? CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, info.dwProcessId) : INVALID_HANDLE_VALUE;
        MODULEENTRY32 module = {sizeof module};
        for (BOOL more = loaded && Module32First(snapshot, &module); more && !patched; more = Module32Next(snapshot, &module))
            patched = !lstrcmpiA(module.szModule, "kernelbase.dll") &&
                      WriteProcessMemory(info.hProcess, module.modBaseAddr + (function - reinterpret_cast<const BYTE*>(here)), code.data(), code.size(), nullptr);
        loaded && CloseHandle(snapshot);
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, kind == EXCEPTION_DEBUG_EVENT && !loaded ? DBG_EXCEPTION_NOT_HANDLED : DBG_CONTINUE);
    }
    DebugSetProcessKillOnExit(FALSE), DebugActiveProcessStop(info.dwProcessId);
    return patched || (*error = "the game's clock could not be fixed", false);
}

bool Game::Start(bool fixedClock)
{
    std::wstring path = Wide(exe), commandLine = L"\"" + path + L"\"", folder = path.substr(0, path.find_last_of(L'\\'));
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, fixedClock ? DEBUG_ONLY_THIS_PROCESS : 0, nullptr, folder.c_str(), &startup, &info))
        return error = Format("CreateProcess(%s) failed with error %lu", exe.c_str(), GetLastError()), false;
    CloseHandle(info.hThread);
    process = info.hProcess, pid = info.dwProcessId;
    EnterCriticalSection(&startedLock), started.push_back(process), LeaveCriticalSection(&startedLock);
    if (fixedClock && !FixClock(info, &error))
        return false;
    WaitFor([&] {
        for (HWND candidate : DialogsOfProcess(pid))
            window = IsWindowVisible(candidate) && WindowText(candidate) == kGameCaption ? candidate : window;
        return window || !Running();
    }, kStartTimeout);
    if (!window)
        error = !Running() ? "the game ended at start" : "no window captioned " + Printable(kGameCaption) +
                (DialogsOfProcess(pid).empty() ? "" : "; its dialog reads \"" + Printable(WindowText(DialogsOfProcess(pid)[0])) + "\"");
    else if (!WaitFor([&] { return Control(IDC_HELP) && Text(IDC_STATUS) == kChoose; }, kStartTimeout))
        error = "the status never read \"CHOOSE YOUR OWN BOX\": \"" + Printable(Text(IDC_STATUS)) + "\"";
    return error.empty();
}

std::vector<std::string> Game::ListLines(int id) const
{
    std::vector<std::string> lines;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(Control(id), LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kStepTimeout, &count);
    for (DWORD_PTR i = 0; i < count; ++i) lines.push_back(AskText(Control(id), LB_GETTEXTLEN, LB_GETTEXT, i));
    return lines;
}

// The top-level window at `screen` must be `top`; raised while another covers it.
static bool Uppermost(HWND top, POINT screen, std::string* error)
{
    bool ok = WaitFor([&] {
        SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE), SetForegroundWindow(top);
        return GetAncestor(WindowFromPoint(screen), GA_ROOT) == top;
    }, kStepTimeout, 50);
    if (!ok && error) *error = Format("another window covers (%ld,%ld)", screen.x, screen.y);
    return ok;
}

bool Game::Raise() const
{ RECT r = RectIn(nullptr, window); return Uppermost(window, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, nullptr) && GetForegroundWindow() == window; }

void PressMouse(DWORD flags, LONG dx, LONG dy)
{ INPUT input = {INPUT_MOUSE}; input.mi.dx = dx, input.mi.dy = dy, input.mi.dwFlags = flags, SendInput(1, &input, sizeof input); }

// Absolute input runs 0..65535 over the screen; rounding up lands on the pixel.
void MoveMouse(POINT p)
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    PressMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (p.x * 65536LL + width - 1) / width, (p.y * 65536LL + height - 1) / height);
}

static bool ClickScreen(HWND top, POINT screen, std::string* error)
{
    POINT at = {};
    MoveMouse(screen);
    if (!Uppermost(top, screen, error)) return false;
    if (!WaitFor([&] { return GetCursorPos(&at) && abs(at.x - screen.x) <= 1 && abs(at.y - screen.y) <= 1; }, 1000))
        return *error = Format("the pointer stays at (%ld,%ld)", at.x, at.y), false;
    for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP})
        Sleep(30), PressMouse(flag);
    return Sleep(30), true;
}

// Statics without SS_NOTIFY and group boxes let clicks through, unseen by WindowFromPoint: walk the z-order.
bool Game::Click(int id)
{
    WaitFor([&] { return IsWindowEnabled(Control(id)); }, kStepTimeout);   // as a player waits for it to light up
    RECT rect = ClientRect(id), r;
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    HWND hit = GetWindow(window, GW_CHILD);
    for (LONG style; hit && (style = GetWindowLongA(hit, GWL_STYLE), r = RectIn(window, hit), !PtInRect(&r, centre) || !(style & WS_VISIBLE) ||
                             (IsClass(hit, "Static") && !(style & SS_NOTIFY)) || (IsClass(hit, "Button") && (style & 15) == BS_GROUPBOX));)
        hit = GetWindow(hit, GW_HWNDNEXT);
    if (!hit || hit != Control(id) || !IsWindowEnabled(hit))
        return error = Format("a click on control %d would reach control %d (enabled %d)", id, GetDlgCtrlID(hit), Enabled(id)), false;
    return ClientToScreen(window, &centre), ClickScreen(window, centre, &error);
}

static INPUT Key(WORD key, bool up)
{
    INPUT input = {INPUT_KEYBOARD};
    input.ki.wVk = key, input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (key >= VK_PRIOR && key <= VK_DOWN ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void PressKeys(const std::vector<WORD>& keys)
{
    for (WORD key : keys) {
        INPUT press[] = {Key(key, false), Key(key, true)};
        SendInput(2, press, sizeof press[0]), Sleep(20);
    }
}

bool Game::PressAltF4()
{
    // One injection: a focus change between two would reset Alt from the X keyboard.
    INPUT chord[] = {Key(VK_MENU, false), Key(VK_F4, false), Key(VK_F4, true), Key(VK_MENU, true)};
    return Raise() && SendInput(4, chord, sizeof chord[0]) == 4;
}

std::vector<std::string> BoardLines(const Game& game)
{
    std::vector<std::string> lines;
    for (HWND child = GetWindow(game.Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r = RectIn(game.Window(), child);
        lines.push_back(Format("control %d at (%ld,%ld) enabled %d \"", GetDlgCtrlID(child), r.left, r.top, IsWindowEnabled(child)) +
                        Printable(WindowText(child)) + "\"");
        for (const std::string& item : game.ListLines(IsClass(child, "ListBox") ? GetDlgCtrlID(child) : 0))
            lines.back() += " [" + Printable(item) + "]";
    }
    std::sort(lines.begin(), lines.end());   // the order of the controls is no part of what the player sees
    return lines;
}

std::vector<HWND> DialogsOfProcess(DWORD pid)
{
    std::vector<HWND> found;
    DWORD owner = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr));)
        if (GetWindowThreadProcessId(w, &owner) && owner == pid) found.push_back(w);
    return found;
}

HWND AnyMessageBox(const Game& game)
{
    for (HWND box : DialogsOfProcess(game.Pid())) if (box != game.Window() && IsWindowVisible(box)) return box;
    return nullptr;
}

HWND WaitForMessageBox(const Game& game, const std::string& caption, int timeoutMs)
{
    HWND box = nullptr;
    return WaitFor([&] { return (box = AnyMessageBox(game)) && WindowText(box) == caption; }, timeoutMs) ? box : nullptr;
}

bool AnswerMessageBox(HWND box, int buttonId, std::string* error)
{
    RECT rect = RectIn(nullptr, GetDlgItem(box, buttonId));
    if (!GetDlgItem(box, buttonId)) return *error = Format("the message box has no button %d", buttonId), false;
    if (ClickScreen(box, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, error) &&
        !WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kStepTimeout))
        *error = "the message box stayed after the click";
    return error->empty();
}

void Answer(const Game& game, const std::string& caption, const std::string& text, int button)
{
    HWND box = WaitForMessageBox(game, caption), any = AnyMessageBox(game);
    Require(box != nullptr,
            "no message box \"" + caption + "\"; " + (any ? "\"" + WindowText(any) + "\" instead" : "none"));
    HWND shown = GetWindow(box, GW_CHILD);
    while (shown && !(IsClass(shown, "Static") && !WindowText(shown).empty())) shown = GetWindow(shown, GW_HWNDNEXT);
    if (!text.empty()) CheckText(WindowText(shown), text, caption + " message");
    std::string error;
    Require(AnswerMessageBox(box, button, &error), error);
}

static std::string UnixPath(std::string path) { return std::replace(path.begin(), path.end(), '\\', '/'), path.substr(2); }   // Z: is /

// Wine starts a Unix program like any other but cannot wait on it: the shell tells its end by a file with its status.
static bool RunUnix(const std::string& command, std::string* error)
{
    static LARGE_INTEGER token = (QueryPerformanceCounter(&token), token);   // Windows process ids repeat from shard to shard
    static int runs = 0;
    std::string done = Format("%s\\ran-%llx-%d", Config().shotDir.c_str(), token.QuadPart, ++runs), unixDone = UnixPath(done);
    std::string line = "/bin/sh -c \"" + command + "; echo $? >" + unixDone + ".part && mv " + unixDone + ".part " + unixDone + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return *error = Format("cannot start /bin/sh (error %lu)", GetLastError()), false;
    CloseHandle(info.hProcess), CloseHandle(info.hThread);
    FILE* file = nullptr;
    int status = -1;
    WaitFor([&] { return (file = fopen(done.c_str(), "rb")) != nullptr; }, 20000, 50);
    if (file) fscanf(file, "%d", &status), fclose(file), DeleteFileA(done.c_str());
    return !status || (*error = Format("\"%s\" ended with %d", command.c_str(), status), false);
}

// A binary PPM, as ImageMagick writes it; the picture's top left at (0, 0).
static bool ReadPicture(const std::string& path, Shot* shot, std::string* error)
{
    FILE* file = fopen(path.c_str(), "rb");
    int width = 0, height = 0;
    bool ok = file && fscanf(file, "P6 %d %d 255", &width, &height) == 2 && fgetc(file) != EOF;
    shot->screen = {0, 0, width, height}, shot->rgb.assign(3 * static_cast<size_t>(width) * height, 0);
    ok = ok && fread(shot->rgb.data(), 1, shot->rgb.size(), file) == shot->rgb.size();
    if (file) fclose(file), DeleteFileA(path.c_str());
    return ok || (*error = "no picture in " + path, false);
}

static bool CaptureScreen(const RECT& area, const std::string& name, Shot* shot, std::string* error)
{
    std::string base = UnixPath(Config().shotDir) + "/" + name;
    bool ok = RunUnix(Format("/usr/bin/import -window root -crop %ldx%ld+%ld+%ld +repage %s.png && /usr/bin/convert %s.png %s.ppm",
                             area.right - area.left, area.bottom - area.top, area.left, area.top, base.c_str(), base.c_str(), base.c_str()), error) &&
              ReadPicture(Config().shotDir + "\\" + name + ".ppm", shot, error);
    if (ok && (shot->screen.right != area.right - area.left || shot->screen.bottom != area.bottom - area.top))
        ok = (*error = Format("the capture of %s is %ldx%ld", name.c_str(), shot->screen.right, shot->screen.bottom), false);
    return shot->screen = area, ok;
}

void CheckLook(const Game& game, const std::string& moment, const std::string& variant)
{
    bool clientOnly = !variant.empty();
    // No button drawn hot under the pointer, the title bar drawn active, and each picture repainted alone, so that one
    // that would paint over its box's number does so whatever order the repaints come in.
    MoveMouse({0, 0}), game.Raise();
    for (int i = 0; i < 22; ++i) InvalidateRect(game.Control(IDC_BOX_PICTURE + i), nullptr, TRUE), Sleep(10);
    Sleep(400);
    Shot shot, reference;
    std::string error, name = group + "-" + moment + (clientOnly ? "-" + variant : ""), png = Config().references + "\\" + moment + ".png";
    RECT window = RectIn(nullptr, game.Window()), client = {0, 0, 765, 574};
    if (!Check(CaptureScreen(window, name, &shot, &error), error)) return;
    if (Config().renew && !clientOnly)
        return void(Check(CopyFileA((Config().shotDir + "\\" + name + ".png").c_str(), png.c_str(), FALSE), "cannot write " + png)), Note("renewed " + png);
    if (!Check(RunUnix("/usr/bin/convert " + UnixPath(png) + " " + UnixPath(Config().shotDir) + "/" + name + "-reference.ppm", &error) &&
               ReadPicture(Config().shotDir + "\\" + name + "-reference.ppm", &reference, &error), error)) return;
    MapWindowPoints(game.Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT area = clientOnly ? client : window;
    LONG edge = (reference.screen.right - 765) / 2, top = reference.screen.bottom - 574 - edge;   // the reference's client origin
    if (!Check(clientOnly || (area.right - area.left == reference.screen.right && area.bottom - area.top == reference.screen.bottom),
               Format("%s: the window is %ldx%ld, the reference %ldx%ld", name.c_str(), area.right - area.left, area.bottom - area.top,
                      reference.screen.right, reference.screen.bottom))) return;
    // Each pixel belongs to what is uppermost on it: the frame, the wood, or a control in sight, children listed top first.
    std::vector<std::pair<std::string, RECT>> regions = {{"the frame and title bar", window}, {"the wood", client}};
    for (HWND child = GetWindow(game.Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (RECT r = RectIn(nullptr, child); r.left < client.right && r.top < client.bottom)
            regions.insert(regions.begin() + 2, {Format("control %d", GetDlgCtrlID(child)), r});
    std::vector<int> differ(regions.size()), size(regions.size());
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            size_t k = regions.size();
            while (--k > 0 && !PtInRect(&regions[k].second, {x, y})) {}
            COLORREF a = shot.At(x, y), b = reference.At(x - client.left + edge, y - client.top + top);
            ++size[k], differ[k] += std::max({abs(GetRValue(a) - GetRValue(b)), abs(GetGValue(a) - GetGValue(b)), abs(GetBValue(a) - GetBValue(b))}) > 40;
        }
    bool same = true;
    for (size_t k = 0; k < regions.size(); ++k) {
        const RECT& r = regions[k].second;
        same &= Check(differ[k] == 0, Format("%s: %s at (%ld,%ld) %ldx%ld: %d of %d pixels differ from the reference", name.c_str(), regions[k].first.c_str(),
                                             r.left - client.left, r.top - client.top, r.right - r.left, r.bottom - r.top, differ[k], size[k]));
    }
    std::string base = UnixPath(Config().shotDir) + "/" + name;   // reference, capture and where they differ, side by side
    if (!same && RunUnix(Format("/usr/bin/compare %s %s.png %s-difference.png; /usr/bin/convert %s %s.png %s-difference.png +append %s-side-by-side.png",
                                UnixPath(png).c_str(), base.c_str(), base.c_str(), UnixPath(png).c_str(), base.c_str(), base.c_str(), base.c_str()), &error))
        Note("reference | capture | difference: " + base + "-side-by-side.png");
}

}  // namespace e2e
