// The benchmark: the game beside Wine's winemine (the peer) and a bare polling dialog (the floor), run in turn
// for several rounds; prints each figure's median and spread beside its target.
//   quorvant_bench --game PATH --peer PATH --bare PATH --ship PATH --prefix UNIXPATH [--runs N] [--idle-seconds S]
// --ship is the program file players get, measured for size only.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "bench/bare_resource.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/check.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace {

using e2e::Format;
enum Column { kGame, kPeer, kBare, kColumns };
const char* const kTitles[kColumns] = {"Quorvant", "winemine (peer)", "bare dialog (floor)"};
const char* const kComms[kColumns] = {"Quorvant.exe", "winemine.exe", "bare_dialog.exe"};
std::string exe[kColumns], ship, prefix;
int runs = 5, idleSeconds = 20;
std::map<std::string, std::vector<double>> samples[kColumns];

void Record(Column column, const std::string& figure, double value)
{
    if (value >= 0)
        samples[column][figure].push_back(value);
    else
        printf("  %s: %s not measured\n", kTitles[column], figure.c_str());
}

double Now()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * now.QuadPart / frequency.QuadPart;
}

// ---- what Linux knows of the Wine processes, read from /proc through drive Z: ----

std::string ReadUnix(const std::string& path)
{
    std::string text, windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    HANDLE file = CreateFileA(windows.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    char chunk[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        text.append(chunk, got);   // /proc files tell no size: read to the end
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return text;
}

// The process of this Wine prefix whose name begins with `comm` (at most 15 bytes), or 0.
int LinuxPid(const std::string& comm)
{
    int found = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        std::string proc = std::string("/proc/") + entry.cFileName;
        if (atoi(entry.cFileName) > 0 && ReadUnix(proc + "/comm").compare(0, comm.size(), comm.substr(0, 15)) == 0 &&
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
    double least = -1;
    for (int reading = 0; reading < 3; ++reading, Sleep(100)) {
        std::string rollup = ReadUnix("/proc/" + std::to_string(pid) + "/smaps_rollup");
        size_t at = rollup.find("Private_Dirty:");
        double mib = at == std::string::npos ? -1 : atof(rollup.c_str() + at + 14) / 1024;
        least = least < 0 ? mib : std::min(least, mib);
    }
    return least;
}

// ---- what the screen shows ----

uint64_t Picture(HWND window, const RECT& area)
{
    e2e::Pixels pixels;
    std::string error;
    uint64_t hash = 1469598103934665603ULL;   // FNV-1a
    if (e2e::CapturePixels(window, area, &pixels, &error))
        for (COLORREF colour : pixels.colours)
            hash = (hash ^ colour) * 1099511628211ULL;
    return hash;
}

POINT ScreenCentre(HWND window, const RECT& client)
{
    POINT point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ClientToScreen(window, &point);
    return point;
}

// From the release of a real click to the moment `area` shows, for good, what it shows once `settled` holds.
double TimeClick(POINT screen, HWND window, const RECT& area, const std::function<bool()>& settled)
{
    e2e::MoveMouse(screen);
    Sleep(50);
    e2e::PressMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(40);   // the release, not the press, is what is timed
    std::vector<std::pair<double, uint64_t>> seen;
    double origin = Now(), settledAt = -1, checked = 0;
    e2e::PressMouse(MOUSEEVENTF_LEFTUP);
    while (Now() - origin < 5000 && (settledAt < 0 || Now() - settledAt < 150)) {
        seen.emplace_back(Now() - origin, Picture(window, area));
        if (settledAt < 0 && Now() - checked > 20 && (checked = Now(), settled()))
            settledAt = Now();
    }
    size_t first = seen.size();
    while (first > 0 && seen[first - 1].second == seen.back().second)
        --first;
    return settledAt < 0 || first == 0 ? -1 : seen[first].first;
}

// ---- one run of a program ----

struct Run {
    Column column;
    std::unique_ptr<e2e::Game> game;   // the game is run through the e2e harness
    HANDLE process = nullptr;
    HWND window = nullptr;
    int linuxPid = 0;
};

BOOL CALLBACK Collect(HWND window, LPARAM windows)
{
    reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
    return TRUE;
}

DWORD WINAPI Launch(LPVOID param)
{
    Run* run = static_cast<Run*>(param);
    if (run->column == kGame)
        return run->game->Start();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = "\"" + exe[run->column] + "\"";
    CreateProcessA(exe[run->column].c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    run->process = info.hProcess;
    return info.hProcess != nullptr;
}

// First paint: a tenth of the new window's client area differs from the screen before the launch (the peer's
// own field leaves more than half of its client black). The launch runs in a thread of its own.
bool Start(Run* run)
{
    std::set<HWND> before, now;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&before));
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    e2e::Pixels still, client;
    std::string error;
    e2e::CapturePixels(GetDesktopWindow(), screen, &still, &error);
    run->game.reset(new e2e::Game(exe[run->column]));
    double origin = Now(), painted = -1;
    HANDLE launch = CreateThread(nullptr, 0, Launch, run, 0, nullptr);
    while (painted < 0 && Now() - origin < 30000) {
        now.clear();
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&now));
        for (HWND window : now) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (!before.count(window) && pid != GetCurrentProcessId() && IsWindowVisible(window) &&
                (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
                run->window = window;
        }
        RECT area;
        if (!run->window || !GetClientRect(run->window, &area) || !e2e::CapturePixels(run->window, area, &client, &error))
            continue;
        POINT at = {0, 0};
        ClientToScreen(run->window, &at);
        int compared = 0, changed = 0;
        for (int y = 0; y < client.height; y += 4)
            for (int x = 0; x < client.width && at.y + y < still.height; x += 4, ++compared)
                changed += at.x + x < still.width && client.At(x, y) != still.At(at.x + x, at.y + y);
        if (compared && changed * 10 >= compared)
            painted = Now() - origin;
    }
    DWORD started = 0;
    WaitForSingleObject(launch, 35000);
    GetExitCodeThread(launch, &started);
    CloseHandle(launch);
    Record(run->column, "start", painted);
    Sleep(1000);
    run->linuxPid = LinuxPid(kComms[run->column]);
    return started && painted >= 0 && run->linuxPid;
}

bool ButtonShown(const e2e::Game& game, int box) { return game.ClientRect(IDC_BOX_BUTTON + box).left < 10000; }

// Ten games: the own box, four reveals (the fifth would bring the banker's call), NEW GAME and Yes.
void PlayGame(Run* run)
{
    e2e::Game& game = *run->game;
    for (int played = 0, box = 0; played < 10; ++played) {
        int own = played * 5 % 22;
        if (!game.Click(IDC_BOX_BUTTON + own) || !game.WaitText(IDC_STATUS, "OPEN A BOX"))
            return Record(kGame, "reveal", -1);
        for (int k = 1; k <= 4; ++k) {
            box = (own + 3 * k) % 22;
            game.Raise();
            // The click is over when its button is gone and the others are enabled again: no message asks that.
            Record(kGame, "reveal", TimeClick(ScreenCentre(game.Window(), game.ClientRect(IDC_BOX_BUTTON + box)),
                                              game.Window(), game.ClientRect(IDC_BOX_PICTURE + box), [&] {
                bool over = !ButtonShown(game, box);
                for (int i = 0; i < 22; ++i)
                    over = over && (!ButtonShown(game, i) || game.Enabled(IDC_BOX_BUTTON + i));
                return over;
            }));
        }
        HWND question = game.Click(IDC_NEW_GAME) ? e2e::WaitForMessageBox(game, "NEW GAME") : nullptr;
        HWND yes = question ? GetDlgItem(question, IDYES) : nullptr;
        if (!yes)
            return Record(kGame, "newgame", -1);
        RECT rect;
        GetWindowRect(yes, &rect);
        Record(kGame, "newgame", TimeClick({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, game.Window(),
                                           game.ClientRect(IDC_STATUS), [&] {
            bool fresh = !IsWindowVisible(question);
            for (int i = 0; i < 22; ++i)
                fresh = fresh && ButtonShown(game, i) && game.Enabled(IDC_BOX_BUTTON + i);
            return fresh;
        }));
    }
}

// Ten games of the peer: one cell of its 9 x 9 field of 16-pixel cells (centred, the same margin below), then
// the face above the field for a new game. Ten clicks of the floor, each bringing a new status text.
void PlayOther(Run* run)
{
    RECT client, area;
    GetClientRect(run->window, &client);
    int margin = (client.right - 144) / 2;
    RECT field = {margin, client.bottom - margin - 144, client.right - margin, client.bottom - margin};
    HWND status = GetDlgItem(run->window, IDC_BARE_STATUS);
    GetWindowRect(status, &area);
    MapWindowPoints(nullptr, run->window, reinterpret_cast<POINT*>(&area), 2);
    for (int played = 0; played < 10; ++played) {
        SetForegroundWindow(run->window);
        double clicked = Now();
        auto after300 = [&] { return Now() - clicked > 300; };
        if (run->column == kPeer) {
            RECT cell = {field.left + 64, field.top + 16 * (2 + played % 5), field.left + 80, field.top + 16 * (3 + played % 5)};
            Record(kPeer, "reveal", TimeClick(ScreenCentre(run->window, cell), run->window, field, after300));
            RECT face = {(field.left + field.right) / 2, field.top - 16, (field.left + field.right) / 2, field.top - 16};
            e2e::MoveMouse(ScreenCentre(run->window, face));
            Sleep(50);
            e2e::PressMouse(MOUSEEVENTF_LEFTDOWN);
            e2e::PressMouse(MOUSEEVENTF_LEFTUP);
            Sleep(200);
        } else {
            RECT button;
            GetWindowRect(GetDlgItem(run->window, IDC_BARE_FIRST + played % 4), &button);
            MapWindowPoints(nullptr, run->window, reinterpret_cast<POINT*>(&button), 2);
            Record(kBare, "reveal", TimeClick(ScreenCentre(run->window, button), run->window, area, after300));
        }
    }
}

// Start, idle with the window waiting, ten games, memory, close.
void RunOnce(Column column)
{
    printf("  %s\n", kTitles[column]);
    Run run;
    run.column = column;
    if (Start(&run)) {
        int server = LinuxPid("wineserver");
        double program = CpuSeconds(run.linuxPid), wine = CpuSeconds(server), origin = Now();
        Sleep(idleSeconds * 1000);
        double seconds = (Now() - origin) / 1000;
        Record(column, "idle", 100 * (CpuSeconds(run.linuxPid) - program + CpuSeconds(server) - wine) / seconds);
        column == kGame ? PlayGame(&run) : PlayOther(&run);
        Sleep(1000);
        Record(column, "memory", PrivateMiB(run.linuxPid));
    } else {
        printf("  %s did not start: %s\n", kTitles[column], run.game->Error().c_str());
    }
    if (run.window)
        PostMessageA(run.window, WM_CLOSE, 0, 0);
    if (run.process && WaitForSingleObject(run.process, e2e::kExitTimeout) != WAIT_OBJECT_0)
        TerminateProcess(run.process, 99);
    DWORD code;
    if (column == kGame && !run.game->WaitExit(e2e::kExitTimeout, &code))
        run.game->Kill();
    if (run.process)
        CloseHandle(run.process);
}

// ---- the table ----

double Quantile(Column column, const std::string& figure, double q)
{
    std::vector<double> values = samples[column][figure];
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    double at = q * (values.size() - 1);
    size_t below = static_cast<size_t>(at), above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - below);
}

double FileMiB(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow / 1048576.0 : -1;
}

BOOL CALLBACK AddBitmap(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR total)
{
    *reinterpret_cast<double*>(total) += SizeofResource(module, FindResourceA(module, name, type)) / 1048576.0;
    return TRUE;
}

void PrintTable()
{
    double bitmapsMiB = 0;   // the bitmaps' own size, as the shipped program file holds them
    HMODULE program = LoadLibraryExA(ship.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EnumResourceNamesA(program, RT_BITMAP, AddBitmap, reinterpret_cast<LONG_PTR>(&bitmapsMiB));
    for (int column = 0; column < kColumns; ++column)
        samples[column]["size"] = {FileMiB(column == kGame ? ship : exe[column])};
    auto median = [](Column column, const char* figure) { return Quantile(column, figure, 0.5); };
    struct Row { const char* title; const char* figure; std::string target; bool met; };
    double game = 0;
    const Row rows[] = {
        {"Click to reveal painted (ms) [peer: a cell; floor: a button's new text]", "reveal",
         "<= 2x floor and <= 16.7", (game = median(kGame, "reveal")) >= 0 && game <= 2 * median(kBare, "reveal") && game <= 1000.0 / 60},
        {"First paint after start (ms)", "start", Format("<= 1.5x peer (aim 1.25x: %s)",
         median(kGame, "start") <= 1.25 * median(kPeer, "start") ? "met" : "missed"),
         (game = median(kGame, "start")) >= 0 && game <= 1.5 * median(kPeer, "start")},
        {"NEW GAME's Yes to \"CHOOSE YOUR OWN BOX\" painted (ms)", "newgame", "<= 33",
         (game = median(kGame, "newgame")) >= 0 && game <= 33},
        {"Private memory after ten games (MiB)", "memory", Format("<= 1.5x peer + %.1f of bitmaps", bitmapsMiB),
         (game = median(kGame, "memory")) >= 0 && game <= 1.5 * median(kPeer, "memory") + bitmapsMiB},
        {"Idle, waiting for the first box: program + wineserver (% of a core)", "idle", "<= 1.2x floor",
         (game = median(kGame, "idle")) >= 0 && game <= 1.2 * median(kBare, "idle")},
        {"Program file (MiB) [game: the shipped i686 build]", "size", "<= 3", median(kGame, "size") <= 3},
    };
    printf("\n| Figure, median (min-max) | %s | %s | %s | Target | Met |\n|---|---|---|---|---|---|\n", kTitles[0],
           kTitles[1], kTitles[2]);
    for (const Row& row : rows) {
        printf("| %s", row.title);
        for (int column = 0; column < kColumns; ++column) {
            Column c = static_cast<Column>(column);
            printf(samples[c][row.figure].empty() ? " | -" : " | %.2f (%.2f-%.2f)", Quantile(c, row.figure, 0.5),
                   Quantile(c, row.figure, 0), Quantile(c, row.figure, 1));
        }
        printf(" | %s | %s |\n", row.target.c_str(), row.met ? "met" : "MISSED");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    setvbuf(stdout, nullptr, _IONBF, 0);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i], value = argv[i + 1];
        if (option == "--game") exe[kGame] = value;
        else if (option == "--peer") exe[kPeer] = value;
        else if (option == "--bare") exe[kBare] = value;
        else if (option == "--ship") ship = value;
        else if (option == "--prefix") prefix = value;
        else if (option == "--runs") runs = std::max(1, atoi(value.c_str()));
        else if (option == "--idle-seconds") idleSeconds = std::max(1, atoi(value.c_str()));
        else return fprintf(stderr, "unknown option %s\n", option.c_str()), 2;
    }
    printf("%d rounds of the three programs in turn, %d s idle each\n", runs, idleSeconds);
    for (int round = 1; round <= runs; ++round) {
        printf("round %d\n", round);
        for (int column = 0; column < kColumns; ++column)
            RunOnce(static_cast<Column>(column));
    }
    PrintTable();
    return 0;
}
