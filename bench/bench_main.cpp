// The benchmark: the game beside Wine's Minesweeper and the bare dialog, run in
// turn, several rounds; prints one Markdown table of start-up, idle cost,
// responsiveness, memory and size, with medians and spreads.
//   quorvant_bench --game PATH --peer PATH --bare PATH --ship PATH --prefix UNIXPATH
//                  [--runs N] [--idle-runs N] [--idle-seconds S]
// --ship is the program file players get, measured for size only.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bare_resource.h"
#include "bench/linux_side.h"
#include "bench/pe_size.h"
#include "bench/timing.h"
#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace {

using e2e::Format;

enum Column { kGame, kPeer, kBare, kColumns };
const char* const kColumnTitles[kColumns] = {"Quorvant", "winemine (peer)", "bare dialog (floor)"};
const char* const kProcessNames[kColumns] = {"Quorvant.exe", "winemine.exe", "bare_dialog.exe"};

struct Options {
    std::string exe[kColumns];
    std::string ship;
    std::string prefix;
    int runs = 5;
    int idleRuns = 3;
    int idleSeconds = 30;
} options;

// Every sample of every figure, by column and figure name.
std::map<std::string, std::vector<double>> samples[kColumns];
std::vector<std::string> problems;

// Times and sizes are never negative; a negative one was not seen.
void Record(Column column, const std::string& figure, double value)
{
    if (value >= 0)
        samples[column][figure].push_back(value);
}

void RecordSigned(Column column, const std::string& figure, double value)
{
    samples[column][figure].push_back(value);
}

void Problem(Column column, const std::string& what)
{
    std::string line = Format("%s: %s", kColumnTitles[column], what.c_str());
    printf("  problem: %s\n", line.c_str());
    problems.push_back(line);
}

// ---- one program, running --------------------------------------------------

// The game is run through the e2e harness; the two others are started here,
// since the harness knows only the game's window.
struct Session {
    Column column;
    std::unique_ptr<e2e::Game> game;
    HANDLE process = nullptr;
    HWND window = nullptr;
    int linuxPid = 0;
    std::vector<double> privateAfterGame;   // MiB, at the end of each game

    ~Session()
    {
        if (process) {
            TerminateProcess(process, 99);
            CloseHandle(process);
        }
    }
};

bool StartProcess(Session* session)
{
    std::string exe = options.exe[session->column];
    std::string commandLine = "\"" + exe + "\"";
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        Problem(session->column, Format("CreateProcess(%s) failed with error %lu", exe.c_str(), GetLastError()));
        return false;
    }
    CloseHandle(info.hThread);
    session->process = info.hProcess;
    return true;
}

bool Close(Session* session)
{
    if (session->game) {
        DWORD code = 0;
        return session->game->PostClose() && session->game->WaitExit(e2e::kExitTimeout, &code);
    }
    PostMessageA(session->window, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(session->process, e2e::kExitTimeout) == WAIT_OBJECT_0;
    if (ended) {
        CloseHandle(session->process);
        session->process = nullptr;
    }
    return ended;
}

// ---- figures of one run ------------------------------------------------------

// The least of three readings: a page that Wine shares with the X server
// for a while counts as private until the server lets it go, and those
// passing megabytes say nothing of what the program keeps.
void RecordMemory(Session* session, const std::string& figure)
{
    bench::Memory least = bench::MemoryOf(session->linuxPid);
    for (int reading = 1; reading < 3; ++reading) {
        Sleep(100);
        bench::Memory memory = bench::MemoryOf(session->linuxPid);
        least.residentMiB = std::min(least.residentMiB, memory.residentMiB);
        least.privateMiB = std::min(least.privateMiB, memory.privateMiB);
    }
    Record(session->column, figure + ".rss", least.residentMiB);
    Record(session->column, figure + ".private", least.privateMiB);
}

// Private memory at the end of each game of the run.
void NoteGameMemory(Session* session)
{
    session->privateAfterGame.push_back(bench::MemoryOf(session->linuxPid).privateMiB);
}

// The median change from one game's end to the next's, from the second game
// on: a thread stack that Wine frees late, or a page the X server lets go,
// moves a single reading by a megabyte, but not the median of eight steps.
void RecordGrowth(Session* session)
{
    const std::vector<double>& after = session->privateAfterGame;
    std::vector<double> steps;
    for (size_t game = 2; game < after.size(); ++game)
        steps.push_back(1024 * (after[game] - after[game - 1]));
    if (steps.empty())
        return;
    std::sort(steps.begin(), steps.end());
    size_t middle = steps.size() / 2;
    RecordSigned(session->column, "memory.growth",
                 steps.size() % 2 ? steps[middle] : (steps[middle - 1] + steps[middle]) / 2);
}

bool StartUp(Session* session)
{
    std::function<bool()> launch;
    if (session->column == kGame) {
        session->game.reset(new e2e::Game(options.exe[kGame]));
        launch = [session] { return session->game->Start(); };
    } else {
        launch = [session] { return StartProcess(session); };
    }
    bench::StartTimes times =
        bench::TimeStart(launch, session->column == kGame ? IDC_STATUS : 0, "CHOOSE YOUR OWN BOX");
    if (session->game && !session->game->Error().empty())
        Problem(session->column, "start: " + session->game->Error());
    session->window = session->game ? session->game->Window() : times.window;
    if (!session->window || times.painted < 0) {
        Problem(session->column, "no window painted within the start-up time-out");
        return false;
    }
    Record(session->column, "start.visible", times.visible);
    Record(session->column, "start.painted", times.painted);
    Record(session->column, "start.ready", times.ready);
    // Settle before the memory is read: what start-up asked for is loaded by now.
    Sleep(1000);
    session->linuxPid = bench::LinuxPidOf(kProcessNames[session->column], options.prefix);
    if (!session->linuxPid) {
        Problem(session->column, "no Linux process found");
        return false;
    }
    RecordMemory(session, "memory.start");
    return true;
}

// Processor time of the program and of Wine's server over an idle window,
// with nothing else done by the driver meanwhile.
void Idle(Session* session, const std::string& phase)
{
    int server = bench::WineServerPid(options.prefix);
    double gameBefore = bench::CpuSeconds(session->linuxPid);
    double serverBefore = bench::CpuSeconds(server);
    double busyBefore, totalBefore;
    bench::MachineSeconds(&busyBefore, &totalBefore);
    double start = bench::NowMs();
    Sleep(static_cast<DWORD>(options.idleSeconds) * 1000);
    double seconds = (bench::NowMs() - start) / 1000;
    double game = bench::CpuSeconds(session->linuxPid) - gameBefore;
    double wine = bench::CpuSeconds(server) - serverBefore;
    double busyAfter, totalAfter;
    bench::MachineSeconds(&busyAfter, &totalAfter);
    if (gameBefore < 0 || serverBefore < 0) {
        Problem(session->column, "idle: a process to measure is missing");
        return;
    }
    Record(session->column, "idle." + phase + ".total", 100 * (game + wine) / seconds);
    Record(session->column, "idle." + phase + ".program", 100 * game / seconds);
    Record(session->column, "idle." + phase + ".server", 100 * wine / seconds);
    Record(session->column, "idle." + phase + ".machine", 100 * (busyAfter - busyBefore) / seconds);
}

void RecordClick(Column column, const std::string& figure, const bench::ClickTimes& times)
{
    if (!times.settled) {
        Problem(column, figure + ": the click was not over within the time-out");
        return;
    }
    Record(column, figure + ".text", times.text);
    Record(column, figure + ".painted", times.painted);
    if (!times.stable)
        Problem(column, figure + ": the picture still changed after the click was over");
}

// ---- the game ----------------------------------------------------------------

const int kGamesPlayed = 10;
// Four boxes opened after the own box: the fifth would bring the banker's call.
const int kRevealsPerGame = 4;

bool OutOfSight(const e2e::Game& game, int id)
{
    RECT rect = game.ClientRect(id);
    return rect.left == 16384 && rect.top == 16384;
}

bool ChooseOwnBox(Session* session, int box)
{
    e2e::Game& game = *session->game;
    if (!game.Click(IDC_BOX_BUTTON + box) || !game.WaitText(IDC_STATUS, "OPEN A BOX")) {
        Problem(kGame, Format("box %d was not taken as the own box: %s", box + 1, game.Error().c_str()));
        return false;
    }
    return true;
}

bool Reveal(Session* session, int box)
{
    e2e::Game& game = *session->game;
    int id = IDC_BOX_BUTTON + box;
    game.Raise();
    bench::Watch watch;
    watch.window = game.Window();
    watch.area = game.ClientRect(IDC_BOX_PICTURE + box);
    watch.textControl = game.Control(IDC_STATUS);
    watch.textPrefix = "YOU HAVE REVEALED";
    // The click's end: its button gone, the others enabled, the next request shown.
    watch.settled = [&] {
        if (!OutOfSight(game, id))
            return false;
        for (int i = 0; i < 22; ++i)
            if (!OutOfSight(game, IDC_BOX_BUTTON + i) && !game.Enabled(IDC_BOX_BUTTON + i))
                return false;
        return game.Text(IDC_STATUS) == "OPEN A BOX";
    };
    bench::ClickTimes times = bench::TimeClick(bench::CentreOf(game.Control(id)), watch);
    RecordClick(kGame, "click.reveal", times);
    return times.settled;
}

// `opened` is a box opened in the game that ends: its picture closes again.
bool NewGame(Session* session, int opened)
{
    e2e::Game& game = *session->game;
    if (!game.Click(IDC_NEW_GAME)) {
        Problem(kGame, "NEW GAME: " + game.Error());
        return false;
    }
    HWND box = e2e::WaitForMessageBox(game, "NEW GAME");
    HWND yes = box ? GetDlgItem(box, IDYES) : nullptr;
    if (!yes) {
        Problem(kGame, "no \"START AGAIN?\" question");
        return false;
    }
    POINT point = bench::CentreOf(yes);
    e2e::WaitFor([&] {
        SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return WindowFromPoint(point) == yes;
    }, e2e::kStepTimeout, 20);
    bench::Watch watch;
    watch.window = game.Window();
    watch.area = game.ClientRect(IDC_BOX_PICTURE + opened);
    watch.textControl = game.Control(IDC_STATUS);
    watch.textPrefix = "CHOOSE YOUR OWN BOX";
    watch.settled = [&] { return !IsWindowVisible(box) && game.Text(IDC_STATUS) == "CHOOSE YOUR OWN BOX"; };
    bench::ClickTimes times = bench::TimeClick(point, watch);
    RecordClick(kGame, "click.newgame", times);
    return times.settled;
}

// Ten games: in each the own box and four others, then NEW GAME and Yes.
void PlayGame(Session* session, bool ownBoxChosen)
{
    for (int played = 0; played < kGamesPlayed; ++played) {
        int own = (played * 5) % 22;
        if (!(played == 0 && ownBoxChosen) && !ChooseOwnBox(session, own))
            return;
        int box = own;
        for (int k = 1; k <= kRevealsPerGame; ++k) {
            box = (own + 3 * k) % 22;
            if (!Reveal(session, box))
                return;
        }
        if (!NewGame(session, box))
            return;
        NoteGameMemory(session);
    }
    RecordGrowth(session);
    Sleep(1000);
    RecordMemory(session, "memory.games");
}

// ---- the peer ----------------------------------------------------------------

// Minesweeper's beginner field: 9 x 9 cells of 16 pixels, centred across the
// client area with the same margin below; the face stands above its middle.
const int kCells = 9, kCellPixels = 16;

POINT CellCentre(HWND window, int row, int column)
{
    RECT client;
    GetClientRect(window, &client);
    int margin = (client.right - kCells * kCellPixels) / 2;
    POINT point = {margin + column * kCellPixels + kCellPixels / 2,
                   client.bottom - margin - (kCells - row) * kCellPixels + kCellPixels / 2};
    ClientToScreen(window, &point);
    return point;
}

RECT FieldArea(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    int margin = (client.right - kCells * kCellPixels) / 2;
    return {margin, client.bottom - margin - kCells * kCellPixels, client.right - margin, client.bottom - margin};
}

POINT FaceCentre(HWND window)
{
    RECT field = FieldArea(window);
    POINT point = {(field.left + field.right) / 2, field.top - kCellPixels};
    ClientToScreen(window, &point);
    return point;
}

// Ten games: in each one cell opened (timed), then the face for a new game.
void PlayPeer(Session* session)
{
    for (int played = 0; played < kGamesPlayed; ++played) {
        SetForegroundWindow(session->window);
        bench::Watch watch;
        watch.window = session->window;
        watch.area = FieldArea(session->window);
        double pressed = 0;
        // The field has no text to read: the click counts as over 300 ms after the
        // press, and the picture must then stand still like any other.
        watch.settled = [&] { return bench::NowMs() - pressed > 300; };
        pressed = bench::NowMs();
        RecordClick(kPeer, "click.reveal", bench::TimeClick(CellCentre(session->window, 2 + played % 5, 4), watch));
        bench::Click(FaceCentre(session->window));
        Sleep(200);
        NoteGameMemory(session);
    }
    RecordGrowth(session);
    Sleep(1000);
    RecordMemory(session, "memory.games");
}

// ---- the floor ---------------------------------------------------------------

// Ten clicks on its buttons, each answered with a new status text.
void PlayBare(Session* session)
{
    HWND status = GetDlgItem(session->window, IDC_BARE_STATUS);
    RECT area;
    GetWindowRect(status, &area);
    MapWindowPoints(nullptr, session->window, reinterpret_cast<POINT*>(&area), 2);
    for (int played = 0; played < kGamesPlayed; ++played) {
        SetForegroundWindow(session->window);
        std::string text = Format("CLICK %d", played + 1);
        bench::Watch watch;
        watch.window = session->window;
        watch.area = area;
        watch.textControl = status;
        watch.textPrefix = text;
        watch.settled = [&] { return e2e::WindowText(status) == text; };
        HWND button = GetDlgItem(session->window, IDC_BARE_FIRST + played % 4);
        RecordClick(kBare, "click.reveal", bench::TimeClick(bench::CentreOf(button), watch));
        NoteGameMemory(session);
    }
    RecordGrowth(session);
    Sleep(1000);
    RecordMemory(session, "memory.games");
}

// ---- a round -----------------------------------------------------------------

void RunOnce(Column column, bool idle)
{
    printf("  %s%s\n", kColumnTitles[column], idle ? ", with idle windows" : "");
    Session session;
    session.column = column;
    if (!StartUp(&session))
        return;
    if (idle)
        Idle(&session, "waiting");
    bool ownBoxChosen = false;
    if (column == kGame && idle) {
        ownBoxChosen = ChooseOwnBox(&session, 0);
        if (!ownBoxChosen)
            return;
        Idle(&session, "chosen");
    }
    switch (column) {
    case kGame: PlayGame(&session, ownBoxChosen); break;
    case kPeer: PlayPeer(&session); break;
    default: PlayBare(&session); break;
    }
    if (!Close(&session))
        Problem(column, "did not end after WM_CLOSE");
}

// ---- the table ---------------------------------------------------------------

double Quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    double at = q * (values.size() - 1);
    size_t below = static_cast<size_t>(at);
    size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - below);
}

const std::vector<double>* Series(Column column, const std::string& figure)
{
    auto found = samples[column].find(figure);
    return found == samples[column].end() || found->second.empty() ? nullptr : &found->second;
}

double Median(Column column, const std::string& figure)
{
    const std::vector<double>* values = Series(column, figure);
    return values ? Quantile(*values, 0.5) : -1;
}

// "median (min-max)" for a few runs; pooled samples of many clicks get the
// interquartile range and their count instead.
std::string Cell(Column column, const std::string& figure, const char* format)
{
    const std::vector<double>* values = Series(column, figure);
    if (!values)
        return "-";
    std::string median = Format(format, Quantile(*values, 0.5));
    if (values->size() > 12)
        return Format("%s (IQR %s-%s, n=%zu)", median.c_str(), Format(format, Quantile(*values, 0.25)).c_str(),
                      Format(format, Quantile(*values, 0.75)).c_str(), values->size());
    return Format("%s (%s-%s)", median.c_str(), Format(format, Quantile(*values, 0)).c_str(),
                  Format(format, Quantile(*values, 1)).c_str());
}

struct Row {
    const char* title;
    const char* figure;
    const char* format;
    std::function<std::string()> target;   // the target's text and whether it is met
};

std::string Verdict(bool known, bool met, const std::string& target)
{
    if (!known)
        return target + " | not measured";
    return target + (met ? " | met" : " | MISSED");
}

void PrintTable(const bench::PeContents& ship, const bench::PeContents& tested, double peerMiB, double bareMiB)
{
    const double frame = 1000.0 / 60;
    double bitmapsMiB = ship.resourceBytes.count("BITMAP") ? ship.resourceBytes.at("BITMAP") / 1048576.0 : 0;
    double cacheKiB = 0;
    for (int v = 0; v < 22; ++v) {
        auto found = ship.bitmapScreenBytesById.find(IDB_OPEN_BOX_BASE + v);
        if (found != ship.bitmapScreenBytesById.end())
            cacheKiB += found->second / 1024.0;
    }
    double cacheKiBPerGame = cacheKiB / (kGamesPlayed - 2);
    auto ratioTarget = [](const char* figure, Column against, double factor, double plus) {
        return [=] {
            double game = Median(kGame, figure), other = Median(against, figure);
            return Verdict(game >= 0 && other >= 0, game <= factor * other + plus,
                           plus > 0 ? Format("<= %.2gx %s + %.1f MiB of bitmaps", factor,
                                             against == kPeer ? "peer" : "floor", plus)
                                    : Format("<= %.3gx %s", factor, against == kPeer ? "peer" : "floor"));
        };
    };
    auto none = [] { return std::string(" | "); };
    const Row rows[] = {
        {"Start-up: window visible (ms)", "start.visible", "%.0f", none},
        {"Start-up: first paint (ms)", "start.painted", "%.0f", ratioTarget("start.painted", kPeer, 1.25, 0)},
        {"Start-up: \"CHOOSE YOUR OWN BOX\" shown (ms)", "start.ready", "%.0f", none},
        {"Idle, waiting for the first box: program + wineserver (% of a core)", "idle.waiting.total", "%.2f",
         ratioTarget("idle.waiting.total", kBare, 1.2, 0)},
        {"  of which the program", "idle.waiting.program", "%.2f", none},
        {"  of which wineserver", "idle.waiting.server", "%.2f", none},
        {"  (the whole machine meanwhile, every process)", "idle.waiting.machine", "%.1f", none},
        {"Idle, own box chosen: program + wineserver (% of a core)", "idle.chosen.total", "%.2f",
         [] {
             double game = Median(kGame, "idle.chosen.total"), floor = Median(kBare, "idle.waiting.total");
             return Verdict(game >= 0 && floor >= 0, game <= 1.2 * floor, "<= 1.2x floor");
         }},
        {"  of which the program", "idle.chosen.program", "%.2f", none},
        {"  of which wineserver", "idle.chosen.server", "%.2f", none},
        {"  (the whole machine meanwhile, every process)", "idle.chosen.machine", "%.1f", none},
        {"Click to reveal painted (ms) [peer: a cell; floor: a button's text]", "click.reveal.painted", "%.1f",
         [=] {
             double game = Median(kGame, "click.reveal.painted");
             return Verdict(game >= 0, game <= frame, "median <= 16.7");
         }},
        {"Click to \"YOU HAVE REVEALED\" answered (ms) [floor: the new text]", "click.reveal.text", "%.1f", none},
        {"NEW GAME's Yes to \"CHOOSE YOUR OWN BOX\" answered (ms)", "click.newgame.text", "%.1f", none},
        {"NEW GAME's Yes to \"CHOOSE YOUR OWN BOX\" painted (ms)", "click.newgame.painted", "%.1f", none},
        {"Memory after start: resident (MiB)", "memory.start.rss", "%.1f", none},
        {"Memory after start: private (MiB)", "memory.start.private", "%.1f", none},
        {"Memory after ten games: resident (MiB)", "memory.games.rss", "%.1f",
         ratioTarget("memory.games.rss", kPeer, 1.5, bitmapsMiB)},
        {"Memory after ten games: private (MiB)", "memory.games.private", "%.1f",
         ratioTarget("memory.games.private", kPeer, 1.5, bitmapsMiB)},
        {"Growth of private memory, 2nd to 10th game (KiB per game, median step)", "memory.growth", "%.0f",
         [=] {
             // Each amount's opened-box bitmap is loaded at its first reveal and
             // kept: a bounded cache, not a leak.
             double game = Median(kGame, "memory.growth");
             return Verdict(game >= 0, game <= cacheKiBPerGame,
                            Format("<= %.0f (open-box bitmaps cached at first reveal)", cacheKiBPerGame));
         }},
    };
    printf("\n| Figure | %s | %s | %s | Target | Met |\n|---|---|---|---|---|---|\n", kColumnTitles[kGame],
           kColumnTitles[kPeer], kColumnTitles[kBare]);
    for (const Row& row : rows) {
        printf("| %s", row.title);
        for (int column = 0; column < kColumns; ++column)
            printf(" | %s", Cell(static_cast<Column>(column), row.figure, row.format).c_str());
        printf(" | %s |\n", row.target().c_str());
    }
    printf("| Program file (MiB) [game: the shipped i686 build; x86_64 %.2f] | %.2f | %s | %s | %s |\n",
           tested.fileBytes / 1048576.0, ship.fileBytes / 1048576.0, Format("%.2f", peerMiB).c_str(),
           Format("%.2f", bareMiB).c_str(), Verdict(ship.fileBytes > 0, ship.fileBytes <= 3 * 1048576UL, "<= 3").c_str());
}

// What takes the room in the two program files, in KiB.
void PrintSizes(const bench::PeContents& ship, const bench::PeContents& tested)
{
    auto resource = [](const bench::PeContents& contents, const char* type) {
        auto found = contents.resourceBytes.find(type);
        return found == contents.resourceBytes.end() ? 0.0 : found->second / 1024.0;
    };
    auto section = [](const bench::PeContents& contents, const char* name) {
        for (const bench::PeSection& entry : contents.sections)
            if (entry.name == name)
                return entry.fileBytes / 1024.0;
        return 0.0;
    };
    auto rest = [&](const bench::PeContents& contents) {
        double resources = 0;
        for (const auto& type : contents.resourceBytes)
            resources += type.second / 1024.0;
        return contents.fileBytes / 1024.0 - resources - section(contents, ".text");
    };
    struct Line { const char* title; std::function<double(const bench::PeContents&)> kib; };
    const Line lines[] = {
        {"bitmaps (BITMAP resources)", [&](const bench::PeContents& c) { return resource(c, "BITMAP"); }},
        {"sounds (WAVE resources)", [&](const bench::PeContents& c) { return resource(c, "WAVE"); }},
        {"dialog, icon, manifest", [&](const bench::PeContents& c) {
             return resource(c, "DIALOG") + resource(c, "ICON") + resource(c, "GROUP_ICON") + resource(c, "MANIFEST");
         }},
        {"code (.text)", [&](const bench::PeContents& c) { return section(c, ".text"); }},
        {"the rest (data, imports, headers, padding)", rest},
        {"the whole file", [](const bench::PeContents& c) { return c.fileBytes / 1024.0; }},
    };
    printf("\n| Program file (KiB) | i686 (shipped) | x86_64 (measured) |\n|---|---|---|\n");
    for (const Line& line : lines)
        printf("| %s | %.0f | %.0f |\n", line.title, line.kib(ship), line.kib(tested));
    printf("\nThe %d bitmaps take %.0f KiB once loaded as 32-bit screen bitmaps.\n", ship.bitmapCount,
           ship.bitmapScreenBytes / 1024.0);
}

double FileMiB(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow) / 1048576.0;
}

int Usage()
{
    fprintf(stderr, "usage: quorvant_bench --game PATH --peer PATH --bare PATH --ship PATH --prefix UNIXPATH "
                    "[--runs N] [--idle-runs N] [--idle-seconds S]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    setvbuf(stdout, nullptr, _IONBF, 0);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i], value = argv[i + 1];
        if (name == "--game") options.exe[kGame] = value;
        else if (name == "--peer") options.exe[kPeer] = value;
        else if (name == "--bare") options.exe[kBare] = value;
        else if (name == "--ship") options.ship = value;
        else if (name == "--prefix") options.prefix = value;
        else if (name == "--runs") options.runs = atoi(value.c_str());
        else if (name == "--idle-runs") options.idleRuns = atoi(value.c_str());
        else if (name == "--idle-seconds") options.idleSeconds = atoi(value.c_str());
        else return Usage();
    }
    if (argc % 2 == 0 || options.exe[kGame].empty() || options.exe[kPeer].empty() || options.exe[kBare].empty() ||
        options.prefix.empty())
        return Usage();
    e2e::Config().gameExe = options.exe[kGame];

    printf("wineserver: Linux process %d; idle windows of %d s\n", bench::WineServerPid(options.prefix),
           options.idleSeconds);
    for (int run = 0; run < options.runs; ++run) {
        printf("round %d of %d\n", run + 1, options.runs);
        for (int column = 0; column < kColumns; ++column)
            RunOnce(static_cast<Column>(column), run < options.idleRuns);
    }
    e2e::EndStartedProcesses();

    bench::PeContents ship, tested;
    bench::ReadPeContents(options.ship, &ship);
    bench::ReadPeContents(options.exe[kGame], &tested);
    PrintTable(ship, tested, FileMiB(options.exe[kPeer]), FileMiB(options.exe[kBare]));
    PrintSizes(ship, tested);
    for (const std::string& problem : problems)
        printf("problem: %s\n", problem.c_str());
    return problems.empty() ? 0 : 1;
}
