// The benchmark: the game beside the floor (its own window in its own loop, nothing more) and Wine's winemine
// (the peer, for reference), run in turn for several rounds, and the floor with a sound once a round for the
// sound stack's memory; prints each figure's median and spread beside its target against the floor.
//   quorvant_bench --game PATH --peer PATH --bare PATH --ship PATH (the shipped file, for its size) --prefix UNIXPATH [--runs N] [--idle-seconds S]
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "tests/e2e/harness.h"   // also <functional>, <string> and <vector>
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace {

enum Column { kGame, kPeer, kBare, kBareSound, kColumns };   // the last for its memory only, never a column
const char* const kTitles[kColumns] = {"Quorvant", "winemine (peer)", "game's template (floor)", "floor with a sound"};
const char* const kComms[kColumns] = {"Quorvant.exe", "winemine.exe", "bare_dialog.exe", "bare_dialog.exe"};
std::string exe[kColumns], ship, prefix;
int runs = 5, idleSeconds = 20;
std::map<std::string, std::vector<double>> samples[kColumns];

void Record(Column column, const std::string& figure, double value)
{
    value >= 0 ? samples[column][figure].push_back(value) : void(printf("  %s: %s not measured\n", kTitles[column], figure.c_str()));
}

double Now()   // ms on the performance counter
{
    LARGE_INTEGER now, frequency;
    return QueryPerformanceCounter(&now) && QueryPerformanceFrequency(&frequency) ? 1000.0 * now.QuadPart / frequency.QuadPart : 0;
}

// What Linux knows of the Wine processes: a file of /proc, read through drive Z:.
std::string ReadUnix(const std::string& path)
{
    HANDLE file = CreateFileA(("Z:" + path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string text;
    char chunk[4096];
    for (DWORD got = 0; file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got;)
        text.append(chunk, got);   // /proc files tell no size: read to the end
    CloseHandle(file);
    return text;
}

// The newest process of this Wine prefix whose name begins with `comm` (at most 15 bytes), or 0.
int LinuxPid(const std::string& comm)
{
    int found = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        std::string proc = std::string("/proc/") + entry.cFileName;
        if (atoi(entry.cFileName) > 0 && ReadUnix(proc + "/comm").compare(0, comm.size(), comm) == 0 &&
            ReadUnix(proc + "/environ").find(std::string("WINEPREFIX=") + prefix + '\0') != std::string::npos)
            found = std::max(found, atoi(entry.cFileName));
    }
    FindClose(search);
    return found;
}

// User plus system seconds (fields 14 and 15 of stat, after the parenthesised name); ticks are 1/100 s.
double CpuSeconds(int pid)
{
    std::string stat = ReadUnix("/proc/" + std::to_string(pid) + "/stat");
    size_t at = stat.rfind(')');
    double user = 0, system = 0;
    return at != std::string::npos && sscanf(stat.c_str() + at + 1, " %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lf %lf",
                                              &user, &system) == 2 ? (user + system) / 100 : -1;
}

// Written pages the process alone holds: clean file pages count as private only while no other process maps
// the file, so they would move with whatever else runs. The least of three readings: a page Wine shares with
// the X server for a while counts as private until the server lets it go.
double PrivateMiB(int pid)
{
    double least = 1e9;
    for (int reading = 0; reading < 3; ++reading, Sleep(100)) {
        std::string rollup = ReadUnix("/proc/" + std::to_string(pid) + "/smaps_rollup");
        size_t at = rollup.find("Private_Dirty:");
        least = std::min(least, at == std::string::npos ? 1e9 : atof(rollup.c_str() + at + 14) / 1024);
    }
    return least < 1e9 ? least : -1;
}

// A quick copy of the screen through Wine's own display, for timing paints
// in the bench, where an X capture would take longer than what it measures.
struct Pixels {
    RECT screen = {};   // the copied area
    std::vector<DWORD> colours;   // 0xRRGGBB, row by row from the top
    DWORD At(int x, int y) const { return colours[static_cast<size_t>(y - screen.top) * (screen.right - screen.left) + x - screen.left]; }
};

bool CapturePixels(HWND window, RECT area, Pixels* pixels)   // `area` in the window's client coordinates
{
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    int w = area.right - area.left, h = area.bottom - area.top;
    pixels->screen = area, pixels->colours.clear();
    BITMAPINFO info = {{sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB}};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    DWORD* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool copied = bitmap && BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    for (const DWORD* p = bits; copied && p < bits + w * h; ++p)
        pixels->colours.push_back(*p & 0xFFFFFF);   // the fourth byte is padding
    SelectObject(memory, old), DeleteObject(bitmap), DeleteDC(memory), ReleaseDC(nullptr, screen);
    return copied;
}

ULONGLONG Picture(HWND window, const RECT& area)
{
    Pixels pixels;
    ULONGLONG hash = 1469598103934665603ULL;   // FNV-1a
    if (CapturePixels(window, area, &pixels))
        for (DWORD colour : pixels.colours)
            hash = (hash ^ colour) * 1099511628211ULL;
    return hash;
}

POINT ScreenCentre(HWND window, const RECT& area)   // `area` in the window's client coordinates; null: the screen's
{
    POINT point = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    MapWindowPoints(window, nullptr, &point, 1);
    return point;
}

// From the release of a real click to the first sight of what `area` shows once `settled` holds; -1 when the click
// changed nothing there or never settled. Until the first change nothing but the screen is asked, so that the
// samples come densely where the time is decided.
double TimeClick(POINT screen, HWND window, const RECT& area, const std::function<bool()>& settled)
{
    e2e::MoveMouse(screen);
    Sleep(50);
    e2e::PressMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(40);   // the release, not the press, is what is timed
    std::vector<std::pair<double, ULONGLONG>> seen = {{0, Picture(window, area)}};
    double origin = Now(), settledAt = -1, checked = 0;
    e2e::PressMouse(MOUSEEVENTF_LEFTUP);
    while (Now() - origin < 5000 && (settledAt < 0 || Now() - settledAt < 150)) {
        seen.emplace_back(Now() - origin, Picture(window, area));
        if (settledAt < 0 && seen.back().second != seen[0].second && Now() - checked > 20 && (checked = Now(), settled()))
            settledAt = Now();
    }
    auto first = std::find_if(seen.begin() + 1, seen.end(), [&](const auto& s) { return s.second == seen.back().second; });
    return settledAt < 0 ? -1 : first->first;
}

struct Run {
    Column column;
    e2e::Game game{exe[column]};   // the game is run through the e2e harness
    HANDLE process = nullptr;   // the peer's or the floor's
    DWORD pid = 0, linuxPid = 0;
    HWND window = nullptr;
};

DWORD WINAPI Launch(LPVOID param)
{
    Run* run = static_cast<Run*>(param);
    if (run->column == kGame)
        return run->game.Start();
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    std::string line = "\"" + exe[run->column] + "\"" + (run->column == kBareSound ? " sound" : "");
    CreateProcessA(exe[run->column].c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    run->process = info.hProcess, run->pid = info.dwProcessId;
    return info.hProcess != nullptr;
}

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param)
{
    Run* run = reinterpret_cast<Run*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == (run->column == kGame ? run->game.Pid() : run->pid) && IsWindowVisible(window) &&
        (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
        run->window = window;
    return !run->window;
}

// First paint: a tenth of the new window's client area differs from the screen before the launch (the peer's
// own field leaves more than half of its client black). The launch runs in a thread of its own.
bool Start(Run* run)
{
    Pixels still, client;
    CapturePixels(nullptr, {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, &still);
    double origin = Now(), painted = -1;
    HANDLE launch = CreateThread(nullptr, 0, Launch, run, 0, nullptr);
    for (RECT area; painted < 0 && Now() - origin < 30000;) {
        if (!run->window)
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(run));
        if (!run->window || !GetClientRect(run->window, &area) || !CapturePixels(run->window, area, &client))
            continue;
        int compared = 0, changed = 0;
        for (int y = client.screen.top; y < client.screen.bottom && y < still.screen.bottom; y += 4)
            for (int x = client.screen.left; x < client.screen.right; x += 4, ++compared)
                changed += x < still.screen.right && client.At(x, y) != still.At(x, y);
        painted = compared && changed * 10 >= compared ? Now() - origin : -1;
    }
    DWORD started = 0;
    bool launched = WaitForSingleObject(launch, 35000) == WAIT_OBJECT_0 && GetExitCodeThread(launch, &started) && started;
    CloseHandle(launch);
    Record(run->column, "start", painted);   // not measured: it did not start, or painted nothing
    Sleep(1000);
    run->linuxPid = LinuxPid(kComms[run->column]);
    return launched && painted >= 0 && run->linuxPid;
}

// A click is over when every box button in sight is enabled again and `box`'s is gone, or, after NEW GAME (box
// -1), all are back: asked of the windows, not of the game, which would answer only at its next pump.
bool Over(const e2e::Game& game, int box)
{
    bool over = true;
    for (int i = 0; i < 22; ++i) {
        bool shown = game.ClientRect(IDC_BOX_BUTTON + i).left < 10000;
        over = over && (!shown || game.Enabled(IDC_BOX_BUTTON + i)) && (box < 0 ? shown : i != box || !shown);
    }
    return over;
}

// Ten games: the own box, four reveals (the fifth would bring the banker's call), NEW GAME and Yes.
void PlayGame(Run* run)
{
    e2e::Game& game = run->game;
    for (int played = 0, box = 0; played < 10; ++played) {
        int own = played * 5 % 22;
        if (!game.Click(IDC_BOX_BUTTON + own) || !game.WaitText(IDC_STATUS, "OPEN A BOX"))
            return Record(kGame, "reveal", -1);
        for (int k = 1; k <= 4; ++k) {
            box = (own + 3 * k) % 22;
            game.Raise();
            Record(kGame, "reveal", TimeClick(ScreenCentre(game.Window(), game.ClientRect(IDC_BOX_BUTTON + box)), game.Window(),
                                              game.ClientRect(IDC_BOX_PICTURE + box), [&] { return Over(game, box); }));
        }
        HWND question = game.Click(IDC_NEW_GAME) ? e2e::WaitForMessageBox(game, "NEW GAME") : nullptr;
        HWND yes = question ? GetDlgItem(question, IDYES) : nullptr;
        if (!yes)
            return Record(kGame, "newgame", -1);
        POINT centre = ScreenCentre(nullptr, e2e::RectIn(nullptr, yes));
        e2e::WaitFor([&] { return SetWindowPos(question, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) && WindowFromPoint(centre) == yes; }, 5000);
        Record(kGame, "newgame", TimeClick(centre, game.Window(), game.ClientRect(IDC_STATUS),
                                           [&] { return !IsWindowVisible(question) && Over(game, -1); }));
    }
}

// Ten games of the peer: one cell of its 9 x 9 field of 16-pixel cells (centred, the same margin below), then
// the face above the field for a new game. Ten clicks of the floor's box buttons, each bringing a new status text.
void PlayOther(Run* run)
{
    RECT client, status = e2e::RectIn(run->window, GetDlgItem(run->window, IDC_STATUS));
    GetClientRect(run->window, &client);
    int margin = (client.right - 144) / 2;
    RECT field = {margin, client.bottom - margin - 144, client.right - margin, client.bottom - margin};
    for (int played = 0; played < 10; ++played) {
        RECT cell = {field.left + 64, field.top + 16 * (2 + played % 5), field.left + 80, field.top + 16 * (3 + played % 5)};
        POINT target = run->column == kPeer ? ScreenCentre(run->window, cell)
                                            : ScreenCentre(nullptr, e2e::RectIn(nullptr, GetDlgItem(run->window, IDC_BOX_BUTTON + played * 3 % 22)));
        SetForegroundWindow(run->window);
        double clicked = Now();
        Record(run->column, "reveal", TimeClick(target, run->window, run->column == kPeer ? field : status, [&] { return Now() - clicked > 300; }));
        POINT face = ScreenCentre(run->window, {field.left, field.top - 16, field.right, field.top - 16});
        if (run->column == kPeer)
            e2e::MoveMouse(face), Sleep(50), e2e::PressMouse(MOUSEEVENTF_LEFTDOWN), e2e::PressMouse(MOUSEEVENTF_LEFTUP), Sleep(200);
    }
}

// Start, idle with the window waiting, ten games, memory, close.
void RunOnce(Column column)
{
    printf("  %s\n", kTitles[column]);
    Run run = {column};
    if (Start(&run)) {
        if (column != kBareSound) {   // run for its memory alone
            // Idle is the wait for the first box, after start-up's own work (the game's shortcut, with shell32 and the
            // component model, and its title sound): from the first whole second that costs the program under a
            // tenth of a core, and not before 8 s from launch. The pointer rests off every window: left on a control
            // by the last program's clicks, it cost one program a third more than another (12 % against 7.5).
            e2e::MoveMouse({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
            double settled = CpuSeconds(run.linuxPid);
            for (int second = 1; second <= 20 && (second < 7 || CpuSeconds(run.linuxPid) - settled >= 0.1); ++second)
                settled = CpuSeconds(run.linuxPid), Sleep(1000);
            int server = LinuxPid("wineserver");
            double program = CpuSeconds(run.linuxPid), wine = CpuSeconds(server), origin = Now();
            Sleep(idleSeconds * 1000);
            double seconds = (Now() - origin) / 1000;
            Record(column, "idle", 100 * (CpuSeconds(run.linuxPid) - program + CpuSeconds(server) - wine) / seconds);
        }
        column == kGame ? PlayGame(&run) : PlayOther(&run);
        Sleep(1000);
        Record(column, "memory", PrivateMiB(run.linuxPid));
    }
    PostMessageA(run.window, WM_CLOSE, 0, 0);
    DWORD code;   // the harness ends the game if it does not
    column == kGame ? void(run.game.WaitExit(e2e::kExitTimeout, &code)) : void(WaitForSingleObject(run.process, e2e::kExitTimeout));
    if (run.process)
        TerminateProcess(run.process, 99), CloseHandle(run.process);
    Sleep(2000);   // the next program starts on a settled wineserver: what an ending one still costs it is not the next's
}

double Quantile(Column column, const std::string& figure, double q)   // the nearest rank; -1 for no samples
{
    std::vector<double> v = samples[column][figure];
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[static_cast<size_t>(q * (v.size() - 1) + 0.5)];
}

// Each target: the game's median at most `factor` times the floor's plus `plus`, and at most `cap`.
void PrintTable()
{
    for (Column column : {kGame, kPeer, kBare}) {
        WIN32_FILE_ATTRIBUTE_DATA file;
        bool found = GetFileAttributesExA((column == kGame ? ship : exe[column]).c_str(), GetFileExInfoStandard, &file);
        Record(column, "size", found ? file.nFileSizeLow / 1048576.0 : -1);
    }
    // What the sound stack's libraries and buffers add: the floor with a sound less the floor.
    double bare = Quantile(kBare, "memory", 0.5), sound = Quantile(kBareSound, "memory", 0.5);
    double soundShare = bare >= 0 && sound >= 0 ? sound - bare : -1e9;
    const struct { const char* title; const char* figure; double factor, plus, cap; } kRows[] = {
        {"Click to reveal painted (ms) [peer: a cell; floor: the status's new text]", "reveal", 1.5, 0, 1000.0 / 60},
        {"First paint after start (ms)", "start", 1.15, 0, 1e9},
        {"NEW GAME's Yes to \"CHOOSE YOUR OWN BOX\" painted (ms)", "newgame", 1e9, 0, 33},
        {"Private memory after ten games (MiB) [plus: the sound stack's share and 1]", "memory", 1, soundShare + 1, 1e9},
        {"Idle, waiting for the first box: program + wineserver (% of a core)", "idle", 1.1, 0, 1e9},
        {"Program file (MiB) [game: the shipped i686 build]", "size", 1e9, 0, 3}};
    printf("\n| Figure, median (min-max) | %s | %s | %s | Target | Met |\n|---|---|---|---|---|---|\n", kTitles[0], kTitles[1], kTitles[2]);
    for (const auto& row : kRows) {
        printf("| %s", row.title);
        for (Column c : {kGame, kPeer, kBare})
            printf(samples[c][row.figure].empty() ? " | -" : " | %.2f (%.2f-%.2f)", Quantile(c, row.figure, 0.5),
                   Quantile(c, row.figure, 0), Quantile(c, row.figure, 1));
        double game = Quantile(kGame, row.figure, 0.5), floor = Quantile(kBare, row.figure, 0.5);
        std::string target = row.cap < 1e9 ? e2e::Format("<= %.3g", row.cap) : "";
        target += row.factor < 1e9 ? e2e::Format("%s<= %.3gx floor%s", target.empty() ? "" : " and ", row.factor,
                                                 row.plus ? e2e::Format(" + %.2f", row.plus).c_str() : "") : "";
        bool met = game >= 0 && game <= row.cap && (row.factor >= 1e9 || (floor >= 0 && game <= row.factor * floor + row.plus));
        printf(" | %s | %s |\n", target.c_str(), met ? "met" : "MISSED");
    }
    printf(soundShare < -1e8 ? "\nThe sound stack's share: not measured\n"
                             : "\nThe sound stack's share: %.2f MiB (the floor with a sound %.2f (%.2f-%.2f), less the floor)\n",
           soundShare, sound, Quantile(kBareSound, "memory", 0), Quantile(kBareSound, "memory", 1));
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::map<std::string, std::string*> paths = {{"--game", &exe[kGame]}, {"--peer", &exe[kPeer]}, {"--bare", &exe[kBare]},
                                                 {"--ship", &ship}, {"--prefix", &prefix}};
    std::map<std::string, int*> numbers = {{"--runs", &runs}, {"--idle-seconds", &idleSeconds}};
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!paths.count(argv[i]) && !numbers.count(argv[i]))
            return fprintf(stderr, "unknown option %s\n", argv[i]), 2;
        paths.count(argv[i]) ? void(*paths[argv[i]] = argv[i + 1]) : void(*numbers[argv[i]] = std::max(1, atoi(argv[i + 1])));
    }
    exe[kBareSound] = exe[kBare];
    printf("%d rounds of the three programs, %d s idle each, and the floor with a sound, in turn\n", runs, idleSeconds);
    for (int round = 1; round <= runs; ++round) {
        printf("round %d\n", round);
        for (Column column : {kGame, kBare, kPeer, kBareSound})   // the game and its floor one after the other
            RunOnce(column);
    }
    PrintTable();
    return 0;
}
