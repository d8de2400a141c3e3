// Playing by real clicks: keys, a whole game by the rules and its look at three moments, NEW GAME, closing mid-call.
#include <algorithm>
#include <cmath>

#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

static const int kCallWait = 20000;   // three waits of three ticks, then the prompt

static bool InSight(const Game& game, int id) { return game.ClientRect(id).left < 765; }

// Pence below £1, whole pounds above, the last one, two or three digits shown as 0 from £100, £1,000 and £100,000.
static std::string MoneyText(float amount)
{
    std::string text = Format(amount > 0.99f ? "\xA3%0.0f" : "\xA3%0.2f", amount);
    for (float above : {99.99f, 999.99f, 99999.99f})
        if (amount > above) text[text.size() - 1 - (above > 100) - (above > 1000)] = '0';
    return text;
}

static float Offer(const std::vector<int>& unopened)
{
    double roots = 0;
    for (int k : unopened) roots += std::sqrt(static_cast<double>(kAmounts[k]));
    return static_cast<float>(std::pow(roots / unopened.size(), 2.0));
}

static std::vector<int> PlatesInSight(const Game& game)
{
    std::vector<int> plates;
    for (int k = 0; k < 22; ++k)
        if (InSight(game, IDC_BOARD_VALUE + k)) plates.push_back(k);
    return plates;
}

// Clicks control `id` and waits for `done`, by default the status `status`.
static void Step(Game& game, int id, const std::string& status, int ms = kStepTimeout, std::function<bool()> done = {})
{
    Require(game.Click(id), game.Error());
    Require(WaitFor(done ? done : [&] { return game.Text(IDC_STATUS) == status; }, ms),
            Format("clicked %d: status \"", id) + Printable(game.Text(IDC_STATUS)) + "\", not \"" + status + "\"");
}

// Opens (or chooses) a box; the click ends when the box buttons are enabled again.
static void OpenBox(Game& game, int number)
{
    int id = IDC_BOX_BUTTON + number - 1;
    LONG was = game.ClientRect(id).left;
    Step(game, id, "OPEN A BOX", kStepTimeout, [&] {
        return game.ClientRect(id).left != was && game.Enabled(IDC_BOX_BUTTON + (number == 1)) &&
               game.Text(IDC_STATUS) == "OPEN A BOX";
    });
}

static void CheckKeysChangeNothing(Game& game, const std::string& when)
{
    Require(game.Raise(), "the game window does not take the keyboard");
    std::vector<std::string> before = BoardLines(game);
    PressKeys({VK_RETURN, VK_SPACE, VK_TAB, VK_SPACE, VK_TAB, VK_RETURN, VK_RIGHT, VK_DOWN, VK_SPACE, VK_LEFT, VK_UP, 'A', '1', VK_ESCAPE});
    Sleep(700);
    Check(BoardLines(game) == before && !AnyMessageBox(game) && game.Running(), when + ": a key changed the game");
}

// Box 9 kept, NO DEAL at the first call, DEAL at the second; then the banker only says what he would have offered. The
// clock's midsummer deal makes the board look the same at each moment of every run: at the start, the first offer, the verdict.
static void PlayWholeGame()
{
    Game game;
    Require(game.Start(true), game.Error());
    CheckLook(game, "start");
    std::string start = game.Text(IDC_OFFER) + " " + game.Text(IDC_BANK);
    for (int i = 0; i < 22; ++i) start += " " + game.Text(IDC_BOX_BUTTON + i);
    CheckText(start, "\xA3 \xA3" "0.00 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22", "at start");
    OpenBox(game, 9);   // into MY BOX, where the first offer's look finds it
    std::vector<std::string> offers;
    std::vector<int> plates = PlatesInSight(game);
    float dealt = -1;
    for (int box = 1, picks = 2; box <= 22; box += 1 + (box == 8), ++picks) {
        if (picks == 22) {   // the own box first: the verdict by the amount whose plate leaves the board
            Step(game, IDC_BOX_BUTTON + 8, "", kStepTimeout, [&] { return AnyMessageBox(game) && PlatesInSight(game).size() == 1; });
            bool won = dealt > kAmounts[plates[0] == PlatesInSight(game)[0] ? plates[1] : plates[0]];
            Answer(game, won ? "CONGRATULATIONS" : "UNLUCKY", won ? "YOU TRELVASK" : "YOU DID NOT TRELVASK\n\nTHE BANKER WON", IDOK);
            std::vector<std::string> history = game.ListLines(IDC_WIN_HISTORY);
            CheckText(game.Text(IDC_BANK) + " " + (history.size() == 1 ? history[0] : "<lines>"), MoneyText(dealt) + " " + MoneyText(dealt),
                      "bank and the win history's only line");
            Require(game.WaitText(IDC_STATUS, "OPEN THE LAST BOX"), "no \"OPEN THE LAST BOX\"");
            CheckLook(game, "verdict");
            plates = PlatesInSight(game), ++picks;
        }
        bool call = picks % 3 == 0 && picks >= 6 && picks <= 21, waits = call && dealt < 0;
        std::string step = Format("box %d (pick %d)", box, picks);
        std::string status = picks == 23 ? kOver : waits ? kPress : dealt < 0 ? "OPEN A BOX" : "";
        status = call && !waits && picks < 21 ? "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES" : status;
        DWORD clicked = GetTickCount();
        Step(game, IDC_BOX_BUTTON + box - 1, status, call ? kCallWait : kStepTimeout, [&] {
            return !InSight(game, IDC_BOX_BUTTON + box - 1) && (status.empty() || game.Text(IDC_STATUS) == status) &&
                   (picks != 21 || AnyMessageBox(game) || game.Text(IDC_STATUS) == "OPEN YOUR BOX");
        });
        DWORD took = GetTickCount() - clicked;
        std::vector<int> left = PlatesInSight(game);
        Require(left.size() + 1 == plates.size(), step + Format(": %zu plates left of %zu", left.size(), plates.size()));
        int gone = 0;
        for (int k : plates) gone = std::find(left.begin(), left.end(), k) == left.end() ? k : gone;
        if (dealt >= 0 && !call && picks < 23)
            Check(game.WaitText(IDC_STATUS, Format("YOU HAVE REVEALED '%0.2f'", kAmounts[gone])), step + ": no reveal text for " + MoneyText(kAmounts[gone]));
        if (call)
            offers.push_back(MoneyText(Offer(left))), CheckText(game.Text(IDC_OFFER), offers.back(), step + ": offer"),
            Check(game.ListLines(IDC_OFFER_LIST) == offers, step + Format(": the offer list should hold %zu lines", offers.size()));
        if (picks == 21 && AnyMessageBox(game)) {   // the swap chance, one game in four
            int other = 1;
            while (other == 9 || !InSight(game, IDC_BOX_BUTTON + other - 1)) ++other;
            Answer(game, "BANKER ASKS ...", "SWAP YOUR BOX?", IDYES);
            CheckText(game.Text(IDC_BOX_BUTTON + 8) + " " + game.Text(IDC_BOX_BUTTON + other - 1), Format("%d 9", other), "captions after the swap");
        }
        Check(game.Enabled(IDC_DEAL) == waits && game.Enabled(IDC_NO_DEAL) == waits, step + ": DEAL and NO DEAL enabled only while an offer waits");
        // Three waits of three ticks, then the prompt on the twelfth tick at the count, the first coming within a second
        // of the click: 11 to 12 s where the sounds take no time, as here without a sound card, and some slack for load.
        if (picks == 6)
            CheckLook(game, "offer"), Check(took >= 10500 && took <= 16000, Format("the first call lit DEAL %lu ms after its click, not 11 to 12 s", took));
        if (waits) {
            bool deal = picks == 9;
            Step(game, deal ? IDC_DEAL : IDC_NO_DEAL, deal ? kDealt : kNoDeal);
            CheckText(game.Text(IDC_OFFER) + " " + game.Text(IDC_BANK), " " + (deal ? offers.back() : std::string("\xA3" "0.00")), step + ": offer and bank");
            dealt = deal ? Offer(left) : dealt;
        }
        if (picks == 21)
            Require(game.WaitText(IDC_STATUS, "OPEN YOUR BOX", kCallWait), "no \"OPEN YOUR BOX\" after the last call");
        plates = left;
    }
    Check(!InSight(game, IDC_BOX_BUTTON + 8), "the own box is in sight at the end");
    DWORD code = 99;
    Check(game.PressAltF4() && game.WaitExit(3000, &code) && !code, Format("Alt+F4 ended the game with %lu", code));
}

// Keys, NEW GAME No at rest and Yes in a call, a close in the next call.
static void KeysNewGameAndClose()
{
    Game game;
    Require(game.Start(), game.Error());
    std::vector<std::string> fresh = BoardLines(game);
    CheckLook(game, "start");
    CheckKeysChangeNothing(game, "at start");
    OpenBox(game, 3);
    OpenBox(game, 1);
    std::vector<std::string> before = BoardLines(game);
    Require(game.Click(IDC_NEW_GAME), game.Error());
    Answer(game, "NEW GAME", "START AGAIN?", IDNO);
    Check(BoardLines(game) == before, "NEW GAME answered No changed the board");
    for (int box : {2, 4, 5}) OpenBox(game, box);
    Step(game, IDC_BOX_BUTTON + 5, kPress, kCallWait);
    CheckKeysChangeNothing(game, "with an offer waiting");
    Step(game, IDC_NO_DEAL, kNoDeal);
    for (int box : {7, 8}) OpenBox(game, box);
    Step(game, IDC_BOX_BUTTON + 9, "THE BANKER WISHES TO MAKE A DEAL");
    Require(game.Click(IDC_NEW_GAME), game.Error());
    Answer(game, "NEW GAME", "START AGAIN?", IDYES);
    Require(WaitFor([&] { return BoardLines(game) == fresh; }, kStepTimeout), "Yes in the rings: not the first board");
    CheckLook(game, "fresh");   // the first board's, but for the focus, now on NEW GAME
    // The interrupted call would have made its offer within ten seconds.
    Check(!WaitFor([&] { return BoardLines(game) != fresh; }, 8000), "the old call came back");
    for (int box : {1, 2, 3, 4, 5}) OpenBox(game, box);
    Step(game, IDC_BOX_BUTTON + 5, "THE BANKER WISHES TO MAKE A DEAL");
    DWORD code = 99;
    Check(game.PostClose() && game.WaitExit(3000, &code) && !code, Format("WM_CLOSE ended the game with %lu", code));
}

std::vector<TestCase> GameTests() { return {{"a whole game: NO DEAL, DEAL, would-have calls, the verdict, the last box", PlayWholeGame}}; }
std::vector<TestCase> NewGameTests()
{
    return {{"keys and NEW GAME No change nothing, Yes in the rings deals afresh, WM_CLOSE ends", KeysNewGameAndClose}};
}

}  // namespace e2e
