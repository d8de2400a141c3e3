// Reliability: a click storm checked against the board's rules, closing at any moment, growth over many games.
#include "tests/e2e/reliability.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <random>
#include <set>

#include "tests/e2e/harness.h"
#include "tests/e2e/process.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

ReliabilitySettings& Reliability() { static ReliabilitySettings settings; return settings; }
static bool Long() { return Reliability().soakMinutes > 0; }
static int Pick(std::mt19937& random, int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }

const char kChoose[] = "CHOOSE YOUR OWN BOX", kPress[] = "PRESS THE DEAL BUTTON OR NO DEAL BUTTON",
           kDealt[] = "DEAL! NOW CARRY ON AND OPEN THE BOXES", kNoDeal[] = "NO DEAL! NOW CARRY ON AND OPEN THE BOXES",
           kOver[] = "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'";

// Every status text of the game; a reveal's text names the value index whose plate must be gone.
static const std::map<std::string, int>& StatusTexts()
{
    static std::map<std::string, int> texts;
    static const double kAmounts[22] = {0.01, 0.1, 0.5, 1, 5, 10, 50, 100, 250, 500, 750, 1000, 3000, 5000, 10000,
                                        15000, 20000, 35000, 50000, 75000, 100000, 250000};
    for (const char* text : {kChoose, kPress, kDealt, kNoDeal, kOver, "OPEN A BOX", "OPEN YOUR BOX", "OPEN THE LAST BOX",
                             "THE BANKER WISHES TO MAKE A DEAL", "THE BANKER WILL ALLOW YOU TO SWAP YOUR BOX",
                             "THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU",
                             "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES"})
        texts[text] = -1;
    for (int v = 0; v < 22; ++v)
        texts[Format("YOU HAVE CHOSEN BOX '%d'", v + 1)] = -1, texts[Format("YOU HAVE REVEALED '%0.2f'", kAmounts[v])] = v;
    return texts;
}

// The board as window messages show it. A read can straddle a step of the game, so two must agree.
struct Board {
    std::string status;
    bool deal = false, noDeal = false;
    std::vector<std::string> history;
    std::array<RECT, 22> button{};
    std::array<bool, 22> plate{};      // in sight
    std::array<DWORD_PTR, 22> look{};  // the picture's bitmap: one per artwork, shared by every box showing it
    bool operator==(const Board& o) const
    {
        return status == o.status && deal == o.deal && noDeal == o.noDeal && history == o.history && plate == o.plate &&
               look == o.look && memcmp(&button, &o.button, sizeof button) == 0;
    }
    bool Shown(int i) const { return button[i].left < 10000; }
};

static Board Read(const Game& game)
{
    static std::map<int, HWND> controls;   // of the last game read: each call across processes is slow under Wine
    static HWND of = nullptr;
    if (of != game.Window())
        controls.clear(), of = game.Window();
    auto control = [&](int id) { HWND& known = controls[id]; return known ? known : known = game.Control(id); };
    POINT origin = {0, 0};
    ClientToScreen(game.Window(), &origin);
    Board last;
    for (int tries = 0; tries < 30; ++tries) {
        Board board;
        board.status = WindowText(control(IDC_STATUS));
        board.deal = IsWindowEnabled(control(IDC_DEAL)), board.noDeal = IsWindowEnabled(control(IDC_NO_DEAL));
        board.history = game.ListLines(IDC_WIN_HISTORY);
        for (int i = 0; i < 22; ++i) {
            RECT plate;
            GetWindowRect(control(IDC_BOX_BUTTON + i), &board.button[i]);
            OffsetRect(&board.button[i], -origin.x, -origin.y);
            board.plate[i] = GetWindowRect(control(IDC_BOARD_VALUE + i), &plate) && plate.left - origin.x < 10000;
            SendMessageTimeoutA(control(IDC_BOX_PICTURE + i), STM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_ABORTIFHUNG,
                                kStepTimeout, &board.look[i]);
        }
        if (tries && board == last)
            break;
        last = board;
        Sleep(30);
    }
    return last;
}

static bool Answers(const Game& game)
{
    DWORD_PTR ignored;
    return SendMessageTimeoutA(game.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kStepTimeout, &ignored) != 0;
}

// A real click at a client point, whatever stands there (a disabled button too).
static void ClickAt(const Game& game, POINT point)
{
    SetWindowPos(game.Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);   // no wait: a message box may keep the focus
    SetForegroundWindow(game.Window());
    ClientToScreen(game.Window(), &point);
    MoveMouse(point);
    Sleep(30);
    PressMouse(MOUSEEVENTF_LEFTDOWN);
    PressMouse(MOUSEEVENTF_LEFTUP);
}

static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// What the storm's board breaks, or "". `valueOf` learns which artwork shows which amount.
static std::string Fault(const Board& b, DWORD_PTR closed, std::map<DWORD_PTR, int>* valueOf, const Board& before)
{
    auto text = StatusTexts().find(b.status);
    if (text == StatusTexts().end())
        return "the status reads \"" + Printable(b.status) + "\"";
    if (text->second >= 0 && b.plate[text->second])
        return "the status reveals value " + std::to_string(text->second) + " but its plate is in sight";
    int opened = 0, hidden = 0, newlyOpened = -1, newlyHidden = -1;
    std::set<DWORD_PTR> looks;
    for (int i = 0; i < 22; ++i) {
        bool open = b.look[i] != closed;
        opened += open, hidden += !b.plate[i];
        if (open == b.Shown(i))
            return Format("box %d is %s but its button is %s", i + 1, open ? "open" : "closed", open ? "in sight" : "gone");
        if (open && !looks.insert(b.look[i]).second)
            return Format("box %d shows an amount that another open box shows", i + 1);
        newlyOpened = open && before.look[i] == closed ? (newlyOpened == -1 ? i : -2) : newlyOpened;
        newlyHidden = !b.plate[i] && before.plate[i] ? (newlyHidden == -1 ? i : -2) : newlyHidden;
    }
    if (opened != hidden)
        return Format("%d boxes are open but %d plates are gone", opened, hidden);
    if (newlyOpened >= 0 && newlyHidden >= 0)
        valueOf->emplace(b.look[newlyOpened], newlyHidden);
    for (int i = 0; i < 22; ++i)
        if (b.look[i] != closed && valueOf->count(b.look[i]) && b.plate[valueOf->at(b.look[i])])
            return Format("box %d shows value %d whose plate is in sight", i + 1, valueOf->at(b.look[i]));
    if (b.deal != b.noDeal || (b.deal && b.status != kPress && b.status != kDealt && b.status != kNoDeal))
        return Format("DEAL %s, NO DEAL %s while the status reads \"%s\"", b.deal ? "on" : "off", b.noDeal ? "on" : "off",
                      Printable(b.status).c_str());
    if (b.history.size() < before.history.size() || !std::equal(before.history.begin(), before.history.end(), b.history.begin()))
        return "the win history lost or changed a line";
    return "";
}

// The game's message boxes that are open; verdicts are counted once each.
static std::vector<HWND> OpenBoxes(const Game& game, std::set<HWND>* verdicts)
{
    std::vector<HWND> boxes;
    for (HWND box : DialogsOfProcess(game.Pid()))
        if (box != game.Window() && IsWindowVisible(box)) {
            boxes.push_back(box);
            if (WindowText(box) == "CONGRATULATIONS" || WindowText(box) == "UNLUCKY")
                verdicts->insert(box);
        }
    return boxes;
}

static std::string Act(Game& game, std::mt19937& random, const Board& board, std::set<HWND>* verdicts)
{
    std::vector<HWND> boxes = OpenBoxes(game, verdicts);
    int roll = Pick(random, 100);
    if (!boxes.empty() && roll < 30) {
        HWND box = boxes[Pick(random, static_cast<int>(boxes.size()))];
        std::string caption = WindowText(box), ignored;
        int answer = GetDlgItem(box, IDOK) ? IDOK : Pick(random, 3) ? IDNO : IDYES;
        AnswerMessageBox(box, answer, &ignored);   // an older box may lie under a newer one
        return Format("answering \"%s\" with %s", caption.c_str(), answer == IDOK ? "OK" : answer == IDYES ? "Yes" : "No");
    }
    int id = roll < 72 ? IDC_BOX_BUTTON + Pick(random, 22) : roll < 84 ? (roll & 1 ? IDC_DEAL : IDC_NO_DEAL)
           : roll < 87 ? IDC_NEW_GAME : 0;
    if (id >= IDC_BOX_BUTTON && !board.Shown(id - IDC_BOX_BUTTON))
        return "nothing: that box is open";
    RECT client, moreGames = game.ClientRect(IDC_MORE_GAMES), help = game.ClientRect(IDC_HELP);
    GetClientRect(game.Window(), &client);
    POINT point = id ? Centre(game.ClientRect(id)) : POINT{Pick(random, client.right), Pick(random, client.bottom)};
    if (!id && (PtInRect(&moreGames, point) || PtInRect(&help, point)))
        return "nothing: a web button";
    ClickAt(game, point);
    return id ? Format("clicking control %d", id) : Format("clicking (%ld,%ld)", point.x, point.y);
}

static void Storm()
{
    unsigned seed = Reliability().seed ? Reliability().seed : GetTickCount() ^ (GetCurrentProcessId() << 16);
    Note(Format("seed %u (replay with --seed %u)", seed, seed));
    std::mt19937 random(seed);
    Game game;
    Require(game.Start(), game.Error());
    Board board = Read(game);
    DWORD_PTR closed = board.look[0];
    std::map<DWORD_PTR, int> valueOf;
    std::set<HWND> verdicts;
    int actions = 0, faults = 0, games = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < (Long() ? Reliability().soakMinutes * 60000u : 35000u);) {
        std::string did = Act(game, random, board, &verdicts);
        Require(Answers(game), "the game stopped answering after " + did);
        Board next = Read(game);
        OpenBoxes(game, &verdicts);
        std::string fault = Fault(next, closed, &valueOf, board);
        if (fault.empty() && (next.history.size() < verdicts.size() || next.history.size() > verdicts.size() + 1))
            fault = Format("%zu win-history lines after %zu verdicts", next.history.size(), verdicts.size());
        if (!Check(fault.empty(), Format("action %d, %s: %s", actions, did.c_str(), fault.c_str())))
            Require(++faults < 10, "ten faulty actions; the storm stops");
        games += next.status == kChoose && board.status != kChoose;
        board = next, ++actions;
    }
    Note(Format("%d actions, %d new games, %zu verdicts, %zu amounts seen", actions, games, verdicts.size(), valueOf.size()));
}

// One move of a player who plays the game out: answers a message box (No to questions), an offer, or opens a box.
static void Move(Game& game, const Board& board, bool deal)
{
    std::string ignored;
    if (HWND box = AnyMessageBox(game))
        AnswerMessageBox(box, GetDlgItem(box, IDOK) ? IDOK : IDNO, &ignored);
    else if (board.deal)
        ClickAt(game, Centre(game.ClientRect(deal ? IDC_DEAL : IDC_NO_DEAL)));
    else {
        int pick = -1, own = -1;   // the own box's button stands at (359, 452)
        for (int i = 0; i < 22; ++i)
            if (board.Shown(i))
                (board.button[i].left == 359 && board.button[i].top == 452 ? own : pick) = i;
        pick = board.status == "OPEN YOUR BOX" || pick < 0 ? own : pick;
        if (pick >= 0 && game.Enabled(IDC_BOX_BUTTON + pick))
            ClickAt(game, Centre(board.button[pick]));
    }
    Sleep(100);
}

static void Closing()
{
    struct Moment {
        const char* name;
        bool inShortForm, deal;
        std::string status, boxCaption;   // what shows the moment has come; "" for anything
    };
    static const Moment kMoments[] = {
        {"the first deal", true, false, kChoose, ""},
        {"START AGAIN? open", true, false, "", "NEW GAME"},
        {"a call's rings", true, false, "THE BANKER WISHES TO MAKE A DEAL", ""},
        {"the prompt", true, false, kPress, ""},
        {"after DEAL", true, true, kDealt, ""},
        {"a would-have call", false, true, "THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU", ""},
        {"the swap question", false, false, "", "BANKER ASKS ..."},
        {"a verdict open", false, true, "", "UNLUCKY"},
        {"game over", false, false, kOver, ""},
    };
    std::mt19937 random(GetTickCount());
    for (const Moment& moment : kMoments) {
        if (!moment.inShortForm && !Long())
            continue;
        Game game;
        Require(game.Start(), game.Error());
        if (moment.boxCaption == "NEW GAME")
            ClickAt(game, Centre(game.ClientRect(IDC_NEW_GAME)));
        // A verdict may be won or lost: either box is the moment.
        auto come = [&](const Board& b) {
            HWND box = AnyMessageBox(game);
            std::string caption = box ? WindowText(box) : "";
            return (moment.status.empty() || b.status == moment.status) &&
                   (moment.boxCaption.empty() || caption == moment.boxCaption ||
                    (moment.boxCaption == "UNLUCKY" && caption == "CONGRATULATIONS"));
        };
        DWORD start = GetTickCount();
        for (Board b = Read(game); !come(b); b = Read(game)) {
            if (!Check(game.Running() && GetTickCount() - start < 180000, std::string(moment.name) + ": never came"))
                break;
            Move(game, b, moment.deal);
        }
        Sleep(300);   // a message box that has just opened takes the focus when it is shown
        bool altF4 = Pick(random, 2);
        if (altF4) Check(game.PressAltF4(), game.Error()); else game.PostClose();
        DWORD code = 1;
        Check(game.WaitExit(kExitTimeout, &code) && code == 0,
              Format("closed by %s at %s: ", altF4 ? "Alt+F4" : "WM_CLOSE", moment.name) +
                  (game.Running() ? "still running" : Format("exit code %lu", code)));
    }
}

// Growth per game of what the game holds, fitted after a warm-up; a leak of one object per game shows at once.
// Each amount's opened-box bitmap is loaded at its first reveal and kept: the long form fits memory once all are
// loaded, and GDI objects are counted beyond one per amount seen.
static void Session()
{
    const int games = Long() ? 300 : 20;
    Game game;
    Require(game.Start(), game.Error());
    std::vector<double> bytes, handles, gdi;
    std::set<int> seen;
    for (int g = 0; g < games; ++g) {
        for (int opened = 0; opened < 2;) {   // the own box, then two reveals
            Board board = Read(game);
            opened = 22 - static_cast<int>(std::count(board.plate.begin(), board.plate.end(), true));
            Require(game.Running() && (board.status == kChoose || board.status == "OPEN A BOX"),
                    Format("game %d: the status reads \"%s\"", g, Printable(board.status).c_str()));
            if (opened < 2)
                Move(game, board, false);
            for (int v = 0; v < 22; ++v)
                if (!board.plate[v])
                    seen.insert(v);
        }
        ClickAt(game, Centre(game.ClientRect(IDC_NEW_GAME)));
        std::string error;
        HWND box = WaitForMessageBox(game, "NEW GAME");
        Require(box && AnswerMessageBox(box, IDYES, &error) && game.WaitText(IDC_STATUS, kChoose), "NEW GAME: " + error);
        Figures figures = ReadFigures(game.Pid());
        if (g >= 3 && (!Long() || seen.size() == 22))
            bytes.push_back(figures.privateBytes), handles.push_back(figures.handles), gdi.push_back(figures.gdiObjects - seen.size());
    }
    const struct { const char* name; std::vector<double>& samples; double limit; } kRows[] = {
        {"private bytes", bytes, Long() ? 1024 : 1e9}, {"handles", handles, Long() ? 0.02 : 0.2}, {"GDI objects beyond the artwork", gdi, Long() ? 0.02 : 0.2}};
    for (const auto& row : kRows) {
        Require(row.samples.size() > 2, "too few samples");
        Note(Format("%s: %.0f to %.0f, %.3f a game", row.name, row.samples.front(), row.samples.back(), Slope(row.samples)));
        Check(row.samples.front() >= 0 && Slope(row.samples) <= row.limit,
              Format("%s grow %.3f a game (limit %g)", row.name, Slope(row.samples), row.limit));
    }
}

std::vector<TestCase> StormTests() { return {{"random clicks in every phase keep the board's rules", Storm}}; }
std::vector<TestCase> ClosingTests() { return {{"closing at any moment exits with code 0", Closing}}; }
std::vector<TestCase> SessionTests() { return {{"many new games do not grow handles, GDI objects or memory", Session}}; }

}  // namespace e2e
