// A click storm: random real clicks in every phase of a game, with the board's
// invariants checked after each one.
#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "tests/e2e/board.h"
#include "tests/e2e/reliability.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

const int kAnswerTimeout = 10000;
// A confirmed NEW GAME deals at once; this is only the limit of the wait.
const int kFreshTimeout = 8000;
// The clock prompts within four ticks, a call's waits take at most nine:
// generous bounds, so that only a stuck game crosses them.
const DWORD kPromptLimit = 10000;
const DWORD kCallLimit = 20000;
const DWORD kVerdictBoxLimit = 5000;
const size_t kShownFailures = 40;

static const char kWon[] = "CONGRATULATIONS";
static const char kLost[] = "UNLUCKY";

// Every text the status box may show, and the value index of each reveal text.
struct StatusTexts {
    std::set<std::string> all;
    std::map<std::string, int> revealed;
    StatusTexts()
    {
        static const double kAmounts[kBoxes] = {0.01, 0.10, 0.50, 1, 5, 10, 50, 100, 250, 500, 750,
                                                1000, 3000, 5000, 10000, 15000, 20000, 35000, 50000,
                                                75000, 100000, 250000};
        all = {kChoose, kOpenA, kOpenOwn, kOpenLast, kWishes, kWants, kPress, kSwapChance, kGameOver,
               "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES",
               "DEAL! NOW CARRY ON AND OPEN THE BOXES", "NO DEAL! NOW CARRY ON AND OPEN THE BOXES"};
        for (int n = 1; n <= kBoxes; ++n)
            all.insert(Format("YOU HAVE CHOSEN BOX '%d'", n));
        for (int v = 0; v < kBoxes; ++v) {
            std::string text = Format("YOU HAVE REVEALED '%0.2f'", kAmounts[v]);
            all.insert(text);
            revealed[text] = v;
        }
    }
};

static const StatusTexts& Texts()
{
    static StatusTexts texts;
    return texts;
}

static bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != 0;
}

// What the driver has learnt of the current game and the run, and the
// checks of each board against it.
class Tracker {
public:
    explicit Tracker(const Artwork& artwork) : art(artwork) { StartGame(); }

    void StartGame()
    {
        for (int& v : shown)
            v = kClosedLook;
        finished = false;
        offerUnprompted = callRunning = 0;
    }

    // Counts the verdict boxes among the open ones; checks their texts.
    void NoteBoxes(const std::vector<HWND>& boxes, std::vector<std::string>* faults)
    {
        for (HWND box : boxes) {
            std::string caption = WindowText(box);
            if ((caption != kWon && caption != kLost) || !verdictBoxes.insert(box).second)
                continue;
            ++verdicts;
            std::string text = MessageBoxText(box);
            std::string expected = caption == kWon ? "YOU TRELVASK" : "YOU DID NOT TRELVASK\n\nTHE BANKER WON";
            if (text != expected)
                faults->push_back(Format("verdict box \"%s\" reads \"%s\"", caption.c_str(), Printable(text).c_str()));
        }
    }

    // Adds what is wrong with the board to `faults`; a DEAL button state that
    // the answer handlers pass through for a moment goes to `suspect`.
    void Inspect(const SnapshotBlock& board, bool boxesOpen, DWORD now, std::vector<std::string>* faults,
                 std::vector<std::string>* suspect)
    {
        CheckStatusText(board, faults);
        int opened = CheckBoxes(board, faults);
        CheckPhase(board, opened, faults);
        CheckOffer(board, boxesOpen, now, faults, suspect);
        CheckHistory(board, now, faults);
        if (board.status == std::string(kGameOver))
            finished = true;
    }

    bool Finished() const { return finished; }

private:
    void CheckStatusText(const SnapshotBlock& board, std::vector<std::string>* faults)
    {
        std::string status = board.status;
        if (!Texts().all.count(status))
            faults->push_back("the status reads \"" + Printable(status) + "\", not one of the game's texts");
        auto reveal = Texts().revealed.find(status);
        if (reveal != Texts().revealed.end() && InSight(board.plate[reveal->second]))
            faults->push_back(Format("the status reveals value %d but its plate is in sight", reveal->second));
    }

    // Pictures, buttons and plates against each other and against what this
    // game has shown so far; returns the number of opened boxes.
    int CheckBoxes(const SnapshotBlock& board, std::vector<std::string>* faults)
    {
        int opened = 0;
        int showing[kBoxes];
        for (int& box : showing)
            box = -1;
        RECT ownButton = OwnButtonPlace(), ownPicture = OwnPicturePlace();
        int inOwnPlace = 0;
        for (int i = 0; i < kBoxes; ++i) {
            int v = art.ValueShown(board.pictureLook[i]);
            bool buttonInSight = InSight(board.button[i]);
            if (v == kUnknownLook) {
                faults->push_back(Format("box %d's picture shows no box artwork", i + 1));
                continue;
            }
            if (!InSight(board.picture[i]))
                faults->push_back(Format("box %d's picture is out of sight", i + 1));
            if (v >= 0) {
                ++opened;
                if (buttonInSight)
                    faults->push_back(Format("box %d is open but its button is in sight at %s", i + 1,
                                             RectText(board.button[i]).c_str()));
                if (showing[v] >= 0)
                    faults->push_back(Format("boxes %d and %d both show value %d", showing[v] + 1, i + 1, v));
                showing[v] = i;
                if (shown[i] >= 0 && shown[i] != v)
                    faults->push_back(Format("open box %d changed from value %d to %d", i + 1, shown[i], v));
            } else {
                if (!buttonInSight)
                    faults->push_back(Format("box %d is closed but its button is out of sight", i + 1));
                if (shown[i] >= 0)
                    faults->push_back(Format("box %d, opened with value %d, shows a closed box again without a new game",
                                             i + 1, shown[i]));
            }
            if (v >= 0 && shown[i] < 0)
                shown[i] = v;
            if (buttonInSight && SameRect(board.button[i], ownButton)) {
                ++inOwnPlace;
                if (!SameRect(board.picture[i], ownPicture))
                    faults->push_back(Format("box %d's button is in MY BOX but its picture is at %s", i + 1,
                                             RectText(board.picture[i]).c_str()));
            }
        }
        if (inOwnPlace > 1)
            faults->push_back(Format("%d buttons stand in MY BOX", inOwnPlace));
        for (int v = 0; v < kBoxes; ++v) {
            bool revealed = showing[v] >= 0;
            if (revealed == InSight(board.plate[v]))
                faults->push_back(Format("plate %d is %s but %s", v, revealed ? "in sight" : "out of sight",
                                         revealed ? Format("box %d shows it", showing[v] + 1).c_str()
                                                  : "no open box shows it"));
        }
        return opened;
    }

    // The status that asks for the next click against the number of open boxes.
    void CheckPhase(const SnapshotBlock& board, int opened, std::vector<std::string>* faults)
    {
        std::string status = board.status;
        bool ownChosen = false;
        for (int i = 0; i < kBoxes; ++i) {
            RECT ownButton = OwnButtonPlace();
            ownChosen = ownChosen || SameRect(board.button[i], ownButton) || SameRect(board.picture[i], OwnPicturePlace());
        }
        struct Row {
            const char* status;
            int lowest, highest;
            bool ownChosen;
        };
        static const Row kRows[] = {
            {kChoose, 0, 0, false},
            {kOpenA, 0, 19, true},
            {kOpenOwn, 20, 20, true},
            {kOpenLast, 21, 21, true},
            {kGameOver, 22, 22, true},
        };
        for (const Row& row : kRows)
            if (status == row.status && (opened < row.lowest || opened > row.highest || ownChosen != row.ownChosen))
                faults->push_back(Format("the status reads \"%s\" with %d boxes open and %s", row.status, opened,
                                         ownChosen ? "an own box chosen" : "no own box"));
    }

    void CheckOffer(const SnapshotBlock& board, bool boxesOpen, DWORD now, std::vector<std::string>* faults,
                    std::vector<std::string>* suspect)
    {
        std::string status = board.status, offer = board.offer, bank = board.bank;
        if (board.dealEnabled != board.noDealEnabled)
            faults->push_back(Format("DEAL is %s but NO DEAL is %s", board.dealEnabled ? "enabled" : "disabled",
                                     board.noDealEnabled ? "enabled" : "disabled"));
        // An offer waits from its prompt to its answer: the offer on show, the
        // prompt in the status, nothing banked yet.
        if (board.dealEnabled && !(IsMoneyText(offer) && board.offerLines > 0 && status == kPress &&
                                   bank == "\xA3" "0.00"))
            suspect->push_back(Format("DEAL is enabled with the offer \"%s\", %ld offers listed, the bank \"%s\" and the status \"%s\"",
                                      Printable(offer).c_str(), board.offerLines, Printable(bank).c_str(),
                                      Printable(status).c_str()));
        if (status == kPress && !board.dealEnabled)
            faults->push_back("the status asks for DEAL or NO DEAL but DEAL is disabled");
        if (!offer.empty() && offer != "\xA3" && !IsMoneyText(offer))
            faults->push_back("the offer display reads \"" + Printable(offer) + "\"");
        if (bank != "\xA3" "0.00" && !IsMoneyText(bank))
            faults->push_back("the bank display reads \"" + Printable(bank) + "\"");
        if (board.offerLines > 6)
            faults->push_back(Format("%ld offers listed in one game", board.offerLines));
        for (LONG i = 0; i < board.offerLines && i < kSnapshotOfferLines; ++i)
            if (!IsMoneyText(board.offerList[i]))
                faults->push_back(Format("offer line %ld reads \"%s\"", i + 1, Printable(board.offerList[i]).c_str()));

        // The clock prompts a waiting offer within four ticks, message box or not.
        bool unprompted = status == kWishes && IsMoneyText(offer) && !board.dealEnabled;
        Lasting(unprompted, now, &offerUnprompted, kPromptLimit,
                "an offer has waited without its prompt for over 10 s", faults);
        // A call's rings and waits end unless a message box holds the click up.
        bool calling = (status == kWishes || status == kWants) && offer.empty() && !boxesOpen;
        Lasting(calling, now, &callRunning, kCallLimit, "a banker's call has run for over 20 s", faults);
    }

    static void Lasting(bool holds, DWORD now, DWORD* since, DWORD limit, const char* fault,
                        std::vector<std::string>* faults)
    {
        if (!holds) {
            *since = 0;
            return;
        }
        if (!*since)
            *since = now ? now : 1;
        else if (now - *since > limit) {
            faults->push_back(fault);
            *since = now;
        }
    }

    void CheckHistory(const SnapshotBlock& board, DWORD now, std::vector<std::string>* faults)
    {
        std::vector<std::string> lines;
        for (LONG i = 0; i < board.historyLines && i < kSnapshotHistoryLines; ++i)
            lines.push_back(board.history[i]);
        if (board.historyLines > kSnapshotHistoryLines)
            faults->push_back("the win history outgrew the snapshot");
        bool kept = lines.size() >= history.size() && std::equal(history.begin(), history.end(), lines.begin());
        if (!kept)
            faults->push_back(Format("the win history lost lines: %lu lines before, %lu now",
                                     static_cast<unsigned long>(history.size()), static_cast<unsigned long>(lines.size())));
        if (kept && lines.size() > history.size() && lines.back() != std::string(board.bank))
            faults->push_back(Format("the new win-history line \"%s\" is not the bank's \"%s\"",
                                     Printable(lines.back()).c_str(), Printable(board.bank).c_str()));
        for (size_t i = history.size(); kept && i < lines.size(); ++i)
            if (!IsMoneyText(lines[i]))
                faults->push_back(Format("win-history line %lu reads \"%s\"", static_cast<unsigned long>(i + 1),
                                            Printable(lines[i]).c_str()));
        // Each verdict adds its line just before its box shows.
        long count = static_cast<long>(lines.size());
        if (count < verdicts || count > verdicts + 1)
            faults->push_back(Format("%ld win-history lines after %d verdict boxes", count, verdicts));
        Lasting(count == verdicts + 1, now, &lineWithoutVerdict, kVerdictBoxLimit,
                "a win-history line has had no verdict box for over 5 s", faults);
        history = lines;
    }

    const Artwork& art;
    int shown[kBoxes];
    bool finished = false;
    std::vector<std::string> history;
    std::set<HWND> verdictBoxes;
    int verdicts = 0;
    DWORD offerUnprompted = 0, callRunning = 0, lineWithoutVerdict = 0;
};

// Where the board differs from a freshly dealt game.
static std::vector<std::string> FreshFaults(const SnapshotBlock& board, const Artwork& art)
{
    std::vector<std::string> faults;
    if (std::string(board.status) != kChoose)
        faults.push_back("status \"" + Printable(board.status) + "\"");
    if (std::string(board.offer) != "\xA3")
        faults.push_back("offer display \"" + Printable(board.offer) + "\"");
    if (std::string(board.bank) != "\xA3" "0.00")
        faults.push_back("bank display \"" + Printable(board.bank) + "\"");
    if (board.offerLines)
        faults.push_back(Format("%ld offers listed", board.offerLines));
    if (board.dealEnabled || board.noDealEnabled)
        faults.push_back("DEAL or NO DEAL enabled");
    for (int i = 0; i < kBoxes; ++i) {
        if (art.ValueShown(board.pictureLook[i]) != kClosedLook)
            faults.push_back(Format("box %d not closed", i + 1));
        if (!SameRect(board.picture[i], PictureHome(i)) || !SameRect(board.button[i], ButtonHome(i)))
            faults.push_back(Format("box %d not at home", i + 1));
        if (!SameRect(board.plate[i], PlateHome(i)))
            faults.push_back(Format("plate %d not at home", i));
    }
    return faults;
}

// Where the game stood when the driver acted, for the count of actions per phase.
static std::string PhaseOf(const SnapshotBlock& board, const std::vector<HWND>& boxes)
{
    if (!boxes.empty()) {
        std::string caption = WindowText(boxes.front());
        if (caption == "NEW GAME")
            return "START AGAIN? open";
        if (caption == "BANKER ASKS ...")
            return "swap question open";
        return "verdict open";
    }
    std::string status = board.status;
    int inSight = 0;
    for (const RECT& button : board.button)
        inSight += InSight(button);
    bool offerShown = IsMoneyText(board.offer);
    if (status == kChoose)
        return "choosing the own box";
    if (board.dealEnabled)
        return inSight == 2 ? "waiting for the last answer" : "offer prompted";
    if (status == kWishes || status == kWants)
        return offerShown ? "offer made, before its prompt" : "banker's call: rings and waits";
    if (status == kSwapChance)
        return "swap chance: rings";
    if (status == kGameOver)
        return "game over";
    if (inSight <= 2)
        return "own box and last box";
    return "opening boxes";
}

static const char* const kAllPhases[] = {
    "START AGAIN? open", "swap question open", "verdict open", "choosing the own box",
    "offer prompted", "waiting for the last answer", "offer made, before its prompt",
    "banker's call: rings and waits", "swap chance: rings", "game over", "own box and last box",
    "opening boxes",
};

// A real click at any client point: on a control, or between them.
static bool ClickAnywhere(Game& game, POINT client)
{
    HWND window = game.Window();
    game.Raise();
    POINT screen = client;
    ClientToScreen(window, &screen);
    bool uppermost = WaitFor([&] {
        if (GetAncestor(WindowFromPoint(screen), GA_ROOT) == window)
            return true;
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return false;
    }, 1000, 50);
    if (!uppermost)
        return false;
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3] = {};
    for (INPUT& one : input)
        one.type = INPUT_MOUSE;
    input[0].mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
    input[0].mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    for (INPUT& one : input) {
        SendInput(1, &one, sizeof one);
        Sleep(30);
    }
    return true;
}

struct StormFigures {
    long actions = 0, notTaken = 0, checks = 0, failures = 0, repeats = 0, games = 0, newGames = 0, restarts = 0;
    std::map<std::string, long> phases;
    std::map<std::string, long> kinds;
};

class Storm {
public:
    Storm(const Artwork& artwork, std::mt19937& generator) : art(artwork), random(generator) {}

    void Run(DWORD milliseconds)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds) {
            if (!game && !StartGame())
                return;
            Step();
        }
        if (game)
            Finish();
    }

    const StormFigures& Figures() const { return figures; }

private:
    bool StartGame()
    {
        game.reset(new Game());
        if (!game->Start()) {
            Fail("the game did not start: " + game->Error());
            return false;
        }
        watch.reset(new BoardWatch(*game));
        if (!watch->Error().empty()) {
            Fail(watch->Error());
            return false;
        }
        tracker.reset(new Tracker(art));
        boxOrder.clear();
        pendingNewGames.clear();
        nextBox = 0;
        NewPlayer();
        return Observe();
    }

    // A stuck or dead game ends its run; the storm goes on with a fresh one.
    void Restart(const std::string& reason)
    {
        Fail(reason);
        ++figures.restarts;
        watch.reset();
        game.reset();
    }

    // Each distinct fault counts once; a lasting one would fill the report.
    void Fail(const std::string& fault)
    {
        if (!reported.insert(fault).second) {
            ++figures.repeats;
            return;
        }
        if (static_cast<size_t>(figures.failures++) < kShownFailures)
            Check(false, fault);
    }

    void Finish()
    {
        // Close the game the way a player does, so that a storm ends as a run
        // does; its questions are answered first, as closing with them open is
        // the closing group's subject.
        watch.reset();
        for (HWND box : OpenMessageBoxes(*game)) {
            std::string error;
            AnswerMessageBox(box, GetDlgItem(box, IDNO) ? IDNO : IDOK, &error);
        }
        DWORD code = 0;
        if (!game->PostClose() || !game->WaitExit(8000, &code))
            Fail("the game did not end within 8 s of WM_CLOSE after the storm");
        else if (code != 0)
            Fail(Format("the game ended with code %lu after the storm", code));
        game.reset();
        if (static_cast<size_t>(figures.failures) > kShownFailures)
            Check(false, Format("%ld more failures not shown", figures.failures - static_cast<long>(kShownFailures)));
    }

    // The open message boxes, numbered in the order they were opened: a box
    // opened later stands above the earlier ones.
    std::vector<HWND> Boxes()
    {
        std::vector<HWND> boxes = OpenMessageBoxes(*game);
        for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
            if (!boxOrder.count(*it))
                boxOrder[*it] = ++nextBox;
        // A verdict counts when first seen, even if the driver answers it at once.
        std::vector<std::string> faults;
        tracker->NoteBoxes(boxes, &faults);
        for (const std::string& fault : faults)
            Fail(fault);
        return boxes;
    }

    bool Snapshot(SnapshotBlock* board)
    {
        if (!game)
            return false;
        if (!game->Running()) {
            Restart("the game ended by itself");
            return false;
        }
        if (!Answers(*game, kAnswerTimeout)) {
            Restart("the game did not answer WM_NULL within 10 s");
            return false;
        }
        if (!watch->Take(board, kAnswerTimeout)) {
            Restart(watch->Error());
            return false;
        }
        return true;
    }

    // Reads the board and checks it; false when the game is gone.
    bool Observe()
    {
        std::vector<std::string> faults, suspect;
        Boxes();
        if (!Snapshot(&board))
            return false;
        ++figures.checks;
        bool wasFinished = tracker->Finished();
        tracker->Inspect(board, !Boxes().empty(), GetTickCount(), &faults, &suspect);
        // The answer handlers pump once before they disable DEAL and NO DEAL;
        // a state that lasts is a fault, one that passes is that pump.
        for (int again = 0; !suspect.empty() && again < 5; ++again) {
            Sleep(300);
            std::vector<std::string> later;
            if (!Snapshot(&board))
                return false;
            tracker->Inspect(board, !Boxes().empty(), GetTickCount(), &faults, &later);
            suspect.swap(later);
        }
        faults.insert(faults.end(), suspect.begin(), suspect.end());
        // The re-reads may repeat a fault of the first.
        std::sort(faults.begin(), faults.end());
        faults.erase(std::unique(faults.begin(), faults.end()), faults.end());
        if (!wasFinished && tracker->Finished())
            ++figures.games;
        for (const std::string& fault : faults)
            Fail(fault);
        return true;
    }

    // After a Yes to START AGAIN?, the game deals when that question's call
    // returns: at once, or when the boxes opened above it are closed.
    bool DealsDue()
    {
        std::vector<HWND> boxes = Boxes();
        bool due = false;
        for (auto it = pendingNewGames.begin(); it != pendingNewGames.end();) {
            bool above = false;
            for (HWND box : boxes)
                above = above || boxOrder[box] > *it;
            if (above) {
                ++it;
            } else {
                due = true;
                it = pendingNewGames.erase(it);
            }
        }
        return due;
    }

    bool AwaitFreshGame()
    {
        ++figures.newGames;
        bool fresh = WaitFor([&] {
            return Snapshot(&board) && FreshFaults(board, art).empty();
        }, kFreshTimeout, 100);
        if (!game)
            return false;
        if (!fresh) {
            std::string what;
            for (const std::string& fault : FreshFaults(board, art))
                what += (what.empty() ? "" : ", ") + fault;
            Fail("a confirmed NEW GAME did not deal a fresh board within 8 s: " + what);
        }
        tracker->StartGame();
        NewPlayer();
        return true;
    }

    // Some games are given up at random, and some refuse every offer, so that
    // the wait for the last answer comes often enough.
    void NewPlayer()
    {
        disposable = Chance(random, 0.3);
        refusing = Chance(random, 0.5);
    }

    int AnswerButton() { return Chance(random, refusing ? 0.9 : 0.5) ? IDC_NO_DEAL : IDC_DEAL; }

    bool AnswerBox(HWND box)
    {
        std::string caption = WindowText(box);
        std::vector<int> buttons;
        for (int id : {IDYES, IDNO, IDOK})
            if (GetDlgItem(box, id))
                buttons.push_back(id);
        if (buttons.empty())
            return false;
        int answer = buttons[Pick(random, 0, static_cast<int>(buttons.size()) - 1)];
        if (caption == "NEW GAME") {
            double yes = tracker->Finished() ? 0.9 : disposable ? 0.5 : 0.05;
            answer = Chance(random, yes) ? IDYES : IDNO;
        }
        ++figures.kinds["answer \"" + caption + "\" " + (answer == IDYES ? "Yes" : answer == IDNO ? "No" : "OK")];
        std::string error;
        if (!AnswerMessageBox(box, answer, &error))
            return false;
        if (caption == "NEW GAME" && answer == IDYES)
            pendingNewGames.push_back(boxOrder[box]);
        return true;
    }

    // A disabled button takes a real click too: the click must do nothing.
    bool ClickControl(int id, const std::string& kind)
    {
        if (game->Enabled(id)) {
            ++figures.kinds[kind];
            return game->Click(id);
        }
        ++figures.kinds[kind + " (disabled)"];
        RECT rect = game->ClientRect(id);
        return ClickAnywhere(*game, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    }

    bool ClickBoxButton()
    {
        std::vector<int> candidates;
        for (int i = 0; i < kBoxes; ++i)
            if (InSight(board.button[i]))
                candidates.push_back(i);
        if (candidates.empty())
            return false;
        return ClickControl(IDC_BOX_BUTTON + candidates[Pick(random, 0, static_cast<int>(candidates.size()) - 1)],
                            "box button");
    }

    bool ClickRandomPoint()
    {
        RECT client;
        GetClientRect(game->Window(), &client);
        RECT forbidden[2] = {game->ClientRect(IDC_MORE_GAMES), game->ClientRect(IDC_HELP)};
        for (RECT& rect : forbidden)
            InflateRect(&rect, 4, 4);
        POINT point;
        do {
            point = {Pick(random, 0, client.right - 1), Pick(random, 0, client.bottom - 1)};
        } while (PtInRect(&forbidden[0], point) || PtInRect(&forbidden[1], point));
        ++figures.kinds["random point"];
        return ClickAnywhere(*game, point);
    }

    bool Act(const std::vector<HWND>& boxes)
    {
        if (!boxes.empty() && Chance(random, 0.7))
            return AnswerBox(boxes[Pick(random, 0, static_cast<int>(boxes.size()) - 1)]);
        if (board.dealEnabled && Chance(random, 0.5))
            return ClickControl(AnswerButton(), "DEAL or NO DEAL");
        // NEW GAME is rare while a game runs, so that most games reach their end.
        int roll = Pick(random, 0, 199);
        if (roll < (tracker->Finished() ? 120 : 2))
            return ClickControl(IDC_NEW_GAME, "NEW GAME");
        if (roll < 30)
            return ClickRandomPoint();
        if (roll < 44)
            return ClickControl(AnswerButton(), "DEAL or NO DEAL");
        return ClickBoxButton();
    }

    void Step()
    {
        std::vector<HWND> boxes = Boxes();
        ++figures.phases[PhaseOf(board, boxes)];
        ++figures.actions;
        if (!Act(boxes))
            ++figures.notTaken;
        if (DealsDue() && !AwaitFreshGame())
            return;
        if (game)
            Observe();
    }

    const Artwork& art;
    std::mt19937& random;
    std::unique_ptr<Game> game;
    std::unique_ptr<BoardWatch> watch;
    std::unique_ptr<Tracker> tracker;
    SnapshotBlock board = {};
    std::map<HWND, long> boxOrder;
    long nextBox = 0;
    std::vector<long> pendingNewGames;
    bool disposable = false;
    bool refusing = false;
    StormFigures figures;
    std::set<std::string> reported;
};

static void RunStorm()
{
    Artwork art;
    std::string error;
    bool loaded = LoadArtwork(Config().gameExe, &art, &error);
    Require(loaded, error);
    std::mt19937 random = SeededRandom("storm");
    int minutes = Soaking() ? Reliability().soakMinutes : 0;
    DWORD length = minutes ? static_cast<DWORD>(minutes) * 60000 : 100000;
    auto storm = std::make_unique<Storm>(art, random);
    storm->Run(length);
    const StormFigures& figures = storm->Figures();
    Note(Format("storm figures: %ld actions tried (%ld not taken), %ld games finished, %ld NEW GAMEs dealt, "
                "%ld invariant checks, %ld failures (%ld repeats of them), %ld restarts after a failure, %lu s",
                figures.actions, figures.notTaken, figures.games, figures.newGames, figures.checks,
                figures.failures, figures.repeats, figures.restarts, length / 1000));
    std::string phases, kinds;
    for (const auto& phase : figures.phases)
        phases += Format("%s%s %ld", phases.empty() ? "" : ", ", phase.first.c_str(), phase.second);
    for (const auto& kind : figures.kinds)
        kinds += Format("%s%s %ld", kinds.empty() ? "" : ", ", kind.first.c_str(), kind.second);
    Note("actions by phase: " + phases);
    Note("actions by kind: " + kinds);
    // Some phases come by chance (the swap one game in four); a storm that
    // missed one says so rather than fail for it.
    std::string missed;
    for (const char* phase : kAllPhases)
        if (!figures.phases.count(phase))
            missed += Format("%s\"%s\"", missed.empty() ? "" : ", ", phase);
    if (!missed.empty())
        Note("phases this storm never acted in: " + missed);
}

std::vector<TestCase> StormTests()
{
    return {{"random clicks in every phase keep the board consistent", RunStorm}};
}

}  // namespace e2e
