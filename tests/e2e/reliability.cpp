// Reliability: a click storm checked against the board's rules, closing at any moment, growth over many games.
#include <algorithm>
#include <array>
#include <random>
#include <set>
#include <tuple>

#include "tests/e2e/harness.h"
#include <winternl.h>
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

static bool Long() { return Config().soakMinutes > 0; }
static int Pick(std::mt19937& random, int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }

// The board as window messages show it, in client pixels; `look` is a picture's bitmap, one per artwork.
struct Board {
    std::string status;
    bool deal = false, noDeal = false;
    std::vector<std::string> history;
    std::array<LONG, 22> buttonX{}, buttonY{};
    std::array<bool, 22> plate{};   // in sight
    std::array<DWORD_PTR, 22> look{};
    bool Shown(int i) const { return buttonX[i] < 10000; }
    auto Tie() const { return std::tie(status, deal, noDeal, history, buttonX, buttonY, plate, look); }
};

// A read can straddle a step of the game: read until two agree.
static Board Read(const Game& game)
{
    POINT origin = {0, 0};
    ClientToScreen(game.Window(), &origin);
    Board last, b;
    for (int tries = 0; tries < 30 && (tries < 2 || b.Tie() != last.Tie()); ++tries, Sleep(30)) {
        last = b;
        b.status = WindowText(game.Control(IDC_STATUS)), b.history = game.ListLines(IDC_WIN_HISTORY);
        b.deal = IsWindowEnabled(game.Control(IDC_DEAL)), b.noDeal = IsWindowEnabled(game.Control(IDC_NO_DEAL));
        for (int i = 0; i < 22; ++i) {
            RECT button, plate;
            GetWindowRect(game.Control(IDC_BOX_BUTTON + i), &button);
            b.buttonX[i] = button.left - origin.x, b.buttonY[i] = button.top - origin.y;
            b.plate[i] = GetWindowRect(game.Control(IDC_BOARD_VALUE + i), &plate) && plate.left - origin.x < 10000;
            SendMessageTimeoutA(game.Control(IDC_BOX_PICTURE + i), STM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_ABORTIFHUNG, kStepTimeout, &b.look[i]);
        }
    }
    return b;
}

// A real click at the centre of a control, or at a client point: whatever stands there takes it, disabled or not.
static void ClickAt(const Game& game, int id, POINT point = {})
{
    RECT r = game.ClientRect(id);
    point = id ? POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2} : point;
    ClientToScreen(game.Window(), &point);
    SetWindowPos(game.Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);   // no wait: a message box may keep the focus
    SetForegroundWindow(game.Window());
    MoveMouse(point), Sleep(30), PressMouse(MOUSEEVENTF_LEFTDOWN), PressMouse(MOUSEEVENTF_LEFTUP);
}

// What the board breaks, or "".
static std::string Fault(const Board& b, const Board& before, DWORD_PTR closed)
{
    const std::string kTexts = std::string("|") + kChoose + "|" + kPress + "|" + kDealt + "|" + kNoDeal + "|" + kOver +
        "|OPEN A BOX|OPEN YOUR BOX|OPEN THE LAST BOX|THE BANKER WISHES TO MAKE A DEAL|"
        "THE BANKER WILL ALLOW YOU TO SWAP YOUR BOX|THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU|"
        "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES|";
    int named = kTexts.find("|" + b.status + "|") != std::string::npos ? -1 : -2;   // -2: a text the game never shows
    for (int v = 0; v < 22; ++v)   // a reveal names its value's index
        if (b.status == Format("YOU HAVE CHOSEN BOX '%d'", v + 1) ||
            b.status == Format("YOU HAVE REVEALED '%0.2f'", kAmounts[v]))
            named = b.status[9] == 'C' ? -1 : v;
    if (named == -2 || (named >= 0 && b.plate[named]))
        return "the status reads \"" + Printable(b.status) + "\"" + (named >= 0 ? " with that amount's plate in sight" : "");
    std::set<DWORD_PTR> looks;   // of the open boxes
    for (int i = 0; i < 22; ++i)
        if ((b.look[i] != closed) == b.Shown(i) || (b.look[i] != closed && !looks.insert(b.look[i]).second))
            return Format("box %d is %s, its button %s, or it shows another open box's amount", i + 1,
                          b.look[i] != closed ? "open" : "closed", b.Shown(i) ? "in sight" : "gone");
    size_t gone = std::count(b.plate.begin(), b.plate.end(), false);
    if (gone != looks.size())
        return Format("%zu boxes are open but %zu plates are gone", looks.size(), gone);
    // The answer handlers pump once before they disable the two buttons.
    if (b.deal != b.noDeal || (b.deal && b.status != kPress && b.status != kDealt && b.status != kNoDeal))
        return Format("DEAL %d, NO DEAL %d with the status \"%s\"", b.deal, b.noDeal, b.status.c_str());
    bool kept = b.history.size() >= before.history.size() && std::equal(before.history.begin(), before.history.end(), b.history.begin());
    return kept ? "" : "the win history lost or changed a line";
}

static void Storm()
{
    unsigned seed = Config().seed ? unsigned(Config().seed) : GetTickCount() ^ (GetCurrentProcessId() << 16);
    Note(Format("seed %u (replay with --seed %u)", seed, seed));
    std::mt19937 random(seed);
    Game game;
    Require(game.Start(), game.Error());
    Board board = Read(game);
    const DWORD_PTR closed = board.look[0];   // every box is closed at the start
    std::set<HWND> verdicts;
    int actions = 0, faults = 0, games = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < (Long() ? Config().soakMinutes * 60000u : 35000u); ++actions) {
        std::vector<HWND> open;   // the message boxes; each verdict is counted once
        for (HWND box : DialogsOfProcess(game.Pid()))
            if (box != game.Window() && IsWindowVisible(box) && (open.push_back(box), WindowText(box) == "CONGRATULATIONS" || WindowText(box) == "UNLUCKY"))
                verdicts.insert(box);
        // A message box's buttons, box buttons, DEAL, NO DEAL, NEW GAME (rarely), any point but the two web buttons.
        int roll = Pick(random, 100), box = Pick(random, 22);
        int id = roll < 72 ? IDC_BOX_BUTTON + box : roll < 78 ? IDC_DEAL : roll < 86 ? IDC_NO_DEAL : roll < 87 ? IDC_NEW_GAME : 0;
        RECT client, web1 = game.ClientRect(IDC_MORE_GAMES), web2 = game.ClientRect(IDC_HELP);
        GetClientRect(game.Window(), &client);
        POINT point = {Pick(random, client.right), Pick(random, client.bottom)};
        std::string did = id ? Format("clicking control %d", id) : Format("clicking (%ld,%ld)", point.x, point.y), ignored;
        if (!open.empty() && roll < 30) {
            HWND chosen = open[Pick(random, static_cast<int>(open.size()))];
            did = "answering " + WindowText(chosen);   // it may lie under a newer one, and stay
            // START AGAIN? seldom Yes, so that games also reach their calls' ends, the swap and the verdict.
            AnswerMessageBox(chosen, GetDlgItem(chosen, IDOK) ? IDOK : Pick(random, did == "answering NEW GAME" ? 6 : 2) ? IDNO : IDYES, &ignored);
        } else if (id ? id != IDC_BOX_BUTTON + box || board.Shown(box) : !PtInRect(&web1, point) && !PtInRect(&web2, point)) {
            ClickAt(game, id, point);
        }
        DWORD_PTR ignore;
        Require(SendMessageTimeoutA(game.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kStepTimeout, &ignore) != 0,
                "the game stopped answering after " + did);
        Board next = Read(game);
        std::string fault = Fault(next, board, closed);
        if (fault.empty() && (next.history.size() < verdicts.size() || next.history.size() > verdicts.size() + 1))
            fault = Format("%zu win-history lines after %zu verdicts", next.history.size(), verdicts.size());
        if (!Check(fault.empty(), Format("action %d (%s): %s", actions, did.c_str(), fault.c_str())))
            Require(++faults < 10, "ten faulty actions; the storm stops");
        games += next.status == kChoose && board.status != kChoose;
        board = next;
    }
    Note(Format("%d actions, %d new games, %zu verdicts", actions, games, verdicts.size()));
}

// A player who plays games out: No to every question but a new game's, an offer, a box, then NEW GAME.
static void Move(Game& game, const Board& b, bool deal)
{
    int pick = -1, own = -1;
    for (int i = 0; i < 22; ++i)
        if (b.Shown(i))
            (b.buttonX[i] == 359 && b.buttonY[i] == 452 ? own : pick) = i;   // the own box's place
    pick = b.status == "OPEN YOUR BOX" || pick < 0 ? own : pick;
    std::string ignored;
    if (HWND box = AnyMessageBox(game))
        AnswerMessageBox(box, GetDlgItem(box, IDOK) ? IDOK : b.status == kOver ? IDYES : IDNO, &ignored);
    else if (b.deal || b.status == kOver || (pick >= 0 && game.Enabled(IDC_BOX_BUTTON + pick)))
        ClickAt(game, b.deal ? (deal ? IDC_DEAL : IDC_NO_DEAL) : b.status == kOver ? IDC_NEW_GAME : IDC_BOX_BUTTON + pick);
    Sleep(100);
}

// A quit taken by a nested pump (a call's waits, a message box's loop) must still end the program.
static void Closing()
{
    const struct { const char* name; bool late, deal; std::string until; } kMoments[] = {
        {"the first deal", false, false, kChoose}, {"START AGAIN? open", false, false, "NEW GAME"},
        {"a call's rings", false, false, "THE BANKER WISHES TO MAKE A DEAL"}, {"the prompt", false, false, kPress},
        {"after DEAL", false, true, kDealt}, {"the swap question", true, false, "BANKER ASKS ..."},
        {"a would-have call", true, true, "THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU"},
        {"a verdict", true, true, "UNLUCKY"}, {"game over", true, false, kOver}};
    std::mt19937 random(GetTickCount());
    for (const auto& moment : kMoments) {
        if (moment.late && !Long())
            continue;
        Game game;
        Require(game.Start(), game.Error());
        if (moment.until == "NEW GAME")
            ClickAt(game, IDC_NEW_GAME);
        for (DWORD start = GetTickCount();;) {
            Board b = Read(game);
            HWND box = AnyMessageBox(game);
            std::string caption = box ? WindowText(box) : "";
            if (b.status == moment.until || caption == moment.until || (caption == "CONGRATULATIONS" && moment.until == "UNLUCKY"))
                break;
            Require(game.Running() && GetTickCount() - start < 900000, std::string(moment.name) + " never came");
            Move(game, b, moment.deal);
        }
        Sleep(300);   // a message box that has just opened takes the focus when it is shown
        bool altF4 = Pick(random, 2), sent = altF4 ? game.PressAltF4() : game.PostClose();
        DWORD code = 1, start = GetTickCount();
        bool ended = sent && game.WaitExit(kExitTimeout, &code);
        std::string how = Format("%s at %s", altF4 ? "Alt+F4" : "WM_CLOSE", moment.name);
        if (Check(ended && code == 0, how + (ended ? Format(": exit code %lu", code) : ": still running " + game.Error())))
            Note(Format("%s: ended in %lu ms", how.c_str(), GetTickCount() - start));
    }
}

// Read where Wine keeps them, as its counting calls answer 0; negative where this system does not tell.
struct Figures { double privateBytes = -1, handles = -1, gdiObjects = -1; };

static Figures ReadFigures(DWORD pid)
{
    Figures figures;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return figures;
    MEMORY_BASIC_INFORMATION region;   // committed private regions
    figures.privateBytes = 0;
    for (const char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region) && region.RegionSize;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        figures.privateBytes += region.State == MEM_COMMIT && region.Type == MEM_PRIVATE ? region.RegionSize : 0;
    std::vector<BYTE> list(1 << 22);   // every process, each entry giving the offset of the next
    if (NtQuerySystemInformation(SystemProcessInformation, list.data(), list.size(), nullptr) >= 0)
        for (size_t at = 0, next = 1; next; at += next) {
            auto* entry = reinterpret_cast<SYSTEM_PROCESS_INFORMATION*>(&list[at]);
            figures.handles = reinterpret_cast<DWORD_PTR>(entry->UniqueProcessId) == pid ? entry->HandleCount : figures.handles;
            next = entry->NextEntryOffset;
        }
    // The GDI handle table that the process's PEB points to: a live object has a non-zero type.
    struct GdiEntry { ULONGLONG object; ULONG owner; USHORT unique; UCHAR type, extType; ULONGLONG userData; };
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG_PTR gdiTable = 0;
    std::vector<GdiEntry> gdi(0x10000);
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) >= 0 &&
        ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + (sizeof(void*) == 8 ? 0xF8 : 0x94),
                          &gdiTable, sizeof gdiTable, nullptr) &&
        ReadProcessMemory(process, reinterpret_cast<void*>(gdiTable), gdi.data(), gdi.size() * sizeof(GdiEntry), nullptr))
        figures.gdiObjects = std::count_if(gdi.begin(), gdi.end(), [](const GdiEntry& entry) { return entry.type != 0; });
    CloseHandle(process);
    return figures;
}

// Theil-Sen: a median slope, which a sound thread's short-lived stack and handle cannot move.
static double Slope(const std::vector<double>& ys)
{
    std::vector<double> slopes;
    for (size_t i = 0; i < ys.size(); ++i)
        for (size_t j = i + 1; j < ys.size(); ++j)
            slopes.push_back((ys[j] - ys[i]) / static_cast<double>(j - i));
    std::nth_element(slopes.begin(), slopes.begin() + slopes.size() / 2, slopes.end());
    return slopes.empty() ? 0 : slopes[slopes.size() / 2];
}

// Growth per game after a warm-up; each amount's bitmap is loaded at its first reveal and kept.
static void Session()
{
    Game game;
    Require(game.Start(), game.Error());
    std::vector<double> bytes, handles, gdi;
    std::set<int> seen;
    for (int g = 0; g < (Long() ? 300 : 20); ++g) {
        for (size_t opened = 0; opened < 2;) {   // the own box, then two reveals
            Board b = Read(game);
            opened = std::count(b.plate.begin(), b.plate.end(), false);
            for (int v = 0; v < 22; ++v)
                b.plate[v] ? void() : void(seen.insert(v));
            Require(game.Running() && (b.status == kChoose || b.status == "OPEN A BOX"), "the status reads " + b.status);
            opened < 2 ? Move(game, b, false) : void();
        }
        ClickAt(game, IDC_NEW_GAME);
        Answer(game, "NEW GAME", "", IDYES);
        Require(game.WaitText(IDC_STATUS, kChoose), "NEW GAME: no fresh board");
        Figures figures = ReadFigures(game.Pid());
        if (g >= 3 && (!Long() || seen.size() == 22))
            bytes.push_back(figures.privateBytes), handles.push_back(figures.handles), gdi.push_back(figures.gdiObjects - seen.size());
    }
    const struct { const char* name; std::vector<double>& samples; double limit; } kRows[] = {
        {"private bytes", bytes, Long() ? 1024 : 1e9}, {"handles", handles, Long() ? 0.02 : 0.2},
        {"GDI objects beyond the artwork", gdi, Long() ? 0.02 : 0.2}};
    for (const auto& row : kRows) {
        Require(row.samples.size() > 2 && row.samples[0] >= 0, std::string("no figures of ") + row.name);
        Note(Format("%s: %.0f to %.0f, %.3f a game", row.name, row.samples.front(), row.samples.back(), Slope(row.samples)));
        Check(Slope(row.samples) <= row.limit, Format("%s grow %.3f a game (limit %g)", row.name, Slope(row.samples), row.limit));
    }
}

std::vector<TestCase> StormTests() { return {{"random clicks in every phase keep the board's rules", Storm}}; }
std::vector<TestCase> ClosingTests() { return {{"closing at any moment exits with code 0", Closing}}; }
std::vector<TestCase> SessionTests() { return {{"many new games grow no handles, GDI objects or memory", Session}}; }

}  // namespace e2e
