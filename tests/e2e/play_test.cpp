// Playing by real clicks: keys that change nothing, a whole game against the rules, NEW GAME and closing mid-call.
#include <algorithm>
#include <cmath>

#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

void CheckNumbersOnScreen(const Game& game, const std::string& moment);

static const float kAmounts[22] = {0.01f, 0.10f, 0.50f, 1, 5, 10, 50, 100, 250, 500, 750,
                                   1000, 3000, 5000, 10000, 15000, 20000, 35000, 50000, 75000, 100000, 250000};
static const int kCallWait = 20000;   // a banker's call: three waits of three ticks, then the prompt

// The money as the player reads it: pence below £1, then whole pounds with
// the last one, two or three digits shown as 0 from £100, £1,000, £100,000.
static std::string MoneyText(float amount)
{
    std::string text = Format(amount > 0.99f ? "\xA3%0.0f" : "\xA3%0.2f", amount);
    for (float above : {99.99f, 999.99f, 99999.99f})
        if (amount > above)
            text[text.size() - 1 - (above > 100) - (above > 1000)] = '0';
    return text;
}

static bool InSight(const Game& game, int id)
{
    return game.ClientRect(id).left < 765;
}

static std::vector<int> PlatesInSight(const Game& game)
{
    std::vector<int> plates;
    for (int k = 0; k < 22; ++k)
        if (InSight(game, IDC_BOARD_VALUE + k))
            plates.push_back(k);
    return plates;
}

static void Click(Game& game, int id)
{
    Require(game.Click(id), game.Error());
}

static void WaitStatus(const Game& game, const std::string& status, int timeoutMs = kStepTimeout)
{
    Require(game.WaitText(IDC_STATUS, status, timeoutMs),
            "the status should read \"" + Printable(status) + "\"; it reads \"" + Printable(game.Text(IDC_STATUS)) + "\"");
}

// Chooses or opens box `number` and waits for the click's end: its button
// moved, the status as given, the other box buttons enabled again.
static void OpenBox(Game& game, int number, const std::string& status, int timeoutMs = kStepTimeout)
{
    RECT before = game.ClientRect(IDC_BOX_BUTTON + number - 1);
    Click(game, IDC_BOX_BUTTON + number - 1);
    int other = number == 1 ? IDC_BOX_BUTTON + 1 : IDC_BOX_BUTTON;
    Require(WaitFor([&] { return game.ClientRect(IDC_BOX_BUTTON + number - 1).left != before.left &&
                                 game.Enabled(other) && game.Text(IDC_STATUS) == status; }, timeoutMs),
            Format("box %d: the click did not end with \"%s\"; the status reads \"%s\"", number, status.c_str(),
                   Printable(game.Text(IDC_STATUS)).c_str()));
}

static void CheckFresh(const Game& game, const std::string& when)
{
    std::string captions;
    for (int i = 0; i < 22; ++i)
        captions += game.Text(IDC_BOX_BUTTON + i) + (i < 21 ? " " : "");
    CheckText(captions, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22", when + ": box captions");
    CheckText(Format("offer '%s' bank '%s' offers %zu deal %d no deal %d plates %zu status '%s'",
                     game.Text(IDC_OFFER).c_str(), game.Text(IDC_BANK).c_str(), game.ListLines(IDC_OFFER_LIST).size(),
                     game.Enabled(IDC_DEAL), game.Enabled(IDC_NO_DEAL), PlatesInSight(game).size(),
                     game.Text(IDC_STATUS).c_str()),
              "offer '\xA3' bank '\xA3" "0.00' offers 0 deal 0 no deal 0 plates 22 status 'CHOOSE YOUR OWN BOX'", when);
}

static void CheckAnswerBox(Game& game, const std::string& caption, const std::string& text, int button)
{
    HWND box = WaitForMessageBox(game, caption);
    HWND any = AnyMessageBox(game);
    Require(box != nullptr, "no message box \"" + caption + "\"; " + (any ? "\"" + WindowText(any) + "\" instead" : "none"));
    CheckText(MessageBoxText(box), text, caption + " message");
    std::string error;
    Require(AnswerMessageBox(box, button, &error), error);
}

// ---- keys ----------------------------------------------------------------

static void CheckKeysChangeNothing(Game& game, const std::string& when)
{
    Require(game.Raise(), "the game window does not take the keyboard");
    std::vector<std::string> before = BoardLines(game);
    PressKeys({VK_RETURN, VK_SPACE, VK_TAB, VK_SPACE, VK_TAB, VK_RETURN, VK_RIGHT, VK_DOWN, VK_SPACE, VK_LEFT,
               VK_UP, VK_RETURN, 'A', 'N', 'D', '1', '7', VK_ESCAPE, VK_SPACE});
    Sleep(700);
    std::vector<std::string> after = BoardLines(game);
    for (size_t i = 0; i < before.size(); ++i)
        Check(i < after.size() && before[i] == after[i], when + ": " + before[i] + " became " + (i < after.size() ? after[i] : "nothing"));
    Check(!AnyMessageBox(game) && game.Running(), when + ": a key opened a message box or ended the game");
}

static void CheckKeys()
{
    Game game;
    Require(game.Start(), game.Error());
    CheckKeysChangeNothing(game, "at start");
    OpenBox(game, 22, "OPEN A BOX");
    for (int box = 1; box <= 4; ++box)
        OpenBox(game, box, "OPEN A BOX");
    Click(game, IDC_BOX_BUTTON + 4);
    WaitStatus(game, "PRESS THE DEAL BUTTON OR NO DEAL BUTTON", kCallWait);
    Require(game.Enabled(IDC_DEAL) && game.Enabled(IDC_NO_DEAL), "DEAL and NO DEAL should be enabled at the prompt");
    CheckKeysChangeNothing(game, "with an offer waiting");
    Require(game.PressAltF4(), game.Error());
    DWORD code = 99;
    Check(game.WaitExit(kExitTimeout, &code) && code == 0, Format("Alt+F4 should end the game with 0 (code %lu)", code));
}

// ---- a whole game ----------------------------------------------------------

static float Offer(const std::vector<int>& unopened)
{
    double roots = 0;
    for (int k : unopened)
        roots += std::sqrt(static_cast<double>(kAmounts[k]));
    return static_cast<float>(std::pow(roots / unopened.size(), 2.0));
}

// The own box's reveal: the verdict by the amount whose plate leaves the board.
static void RevealOwnBox(Game& game, int own, float dealt, const std::vector<int>& plates)
{
    Check(game.Text(IDC_STATUS) == "OPEN YOUR BOX", "the status should ask for the own box");
    Click(game, IDC_BOX_BUTTON + own - 1);
    Require(WaitFor([&] { return AnyMessageBox(game) != nullptr; }, kStepTimeout), "no verdict");
    std::vector<int> left = PlatesInSight(game);
    Require(left.size() == 1, Format("%zu plates left at the verdict", left.size()));
    bool won = dealt > kAmounts[plates[0] == left[0] ? plates[1] : plates[0]];
    CheckAnswerBox(game, won ? "CONGRATULATIONS" : "UNLUCKY", won ? "YOU TRELVASK" : "YOU DID NOT TRELVASK\n\nTHE BANKER WON", IDOK);
    std::vector<std::string> history = game.ListLines(IDC_WIN_HISTORY);
    CheckText(game.Text(IDC_BANK) + " " + (history.size() == 1 ? history[0] : "<lines>"), MoneyText(dealt) + " " + MoneyText(dealt),
              "bank and the win history's only line");
    WaitStatus(game, "OPEN THE LAST BOX");
    CheckNumbersOnScreen(game, "verdict-closed");
}

// One game by the rules: box 9 kept, NO DEAL at the first call, DEAL at the
// second; after the deal the banker only says what he would have offered.
static void PlayWholeGame()
{
    Game game;
    Require(game.Start(), game.Error());
    CheckFresh(game, "start");
    const int own = 9;
    OpenBox(game, own, "OPEN A BOX");
    RECT button = game.ClientRect(IDC_BOX_BUTTON + own - 1), picture = game.ClientRect(IDC_BOX_PICTURE + own - 1);
    CheckText(Format("%ld,%ld %ld,%ld", button.left, button.top, picture.left, picture.top), "359,452 339,431",
              "own box's button and picture in MY BOX");
    std::vector<std::string> offers;
    std::vector<int> plates = PlatesInSight(game);
    float dealt = -1;
    for (int box = 1, picks = 2; box <= 22; ++box) {
        if (box == own)
            continue;
        if (picks == 22)
            RevealOwnBox(game, own, dealt, plates), plates = PlatesInSight(game), ++picks;
        bool call = picks % 3 == 0 && picks >= 6 && picks <= 21, waits = call && dealt < 0;
        std::string step = Format("box %d (pick %d)", box, picks);
        std::string status = picks == 23 ? "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'"
                             : waits ? "THE BANKER WISHES TO MAKE A DEAL"
                             : call && picks < 21 ? "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES"
                             : dealt < 0 ? "OPEN A BOX" : "";
        Click(game, IDC_BOX_BUTTON + box - 1);
        Require(WaitFor([&] { return !InSight(game, IDC_BOX_BUTTON + box - 1) && (status.empty() || game.Text(IDC_STATUS) == status) &&
                                     (picks != 21 || AnyMessageBox(game) || game.Text(IDC_STATUS) == "OPEN YOUR BOX"); },
                        call ? kCallWait : kStepTimeout),
                step + ": not opened with \"" + status + "\"; the status reads \"" + Printable(game.Text(IDC_STATUS)) + "\"");
        std::vector<int> left = PlatesInSight(game);
        Require(left.size() + 1 == plates.size(), step + Format(": %zu plates left of %zu", left.size(), plates.size()));
        int gone = 0;
        for (int k : plates)
            gone = std::find(left.begin(), left.end(), k) == left.end() ? k : gone;
        if (dealt >= 0 && !call && picks < 23)
            WaitStatus(game, Format("YOU HAVE REVEALED '%0.2f'", kAmounts[gone]));
        if (call) {
            offers.push_back(MoneyText(Offer(left)));
            if (waits)
                WaitStatus(game, "PRESS THE DEAL BUTTON OR NO DEAL BUTTON", kCallWait);
            CheckText(game.Text(IDC_OFFER), offers.back(), step + ": offer");
            Check(game.ListLines(IDC_OFFER_LIST) == offers, step + Format(": the offer list should hold %zu lines", offers.size()));
        }
        if (picks == 21 && AnyMessageBox(game)) {   // the swap chance, one game in four
            int other = 1;
            while (other == own || !InSight(game, IDC_BOX_BUTTON + other - 1))
                ++other;
            CheckAnswerBox(game, "BANKER ASKS ...", "SWAP YOUR BOX?", IDYES);
            CheckText(game.Text(IDC_BOX_BUTTON + own - 1) + " " + game.Text(IDC_BOX_BUTTON + other - 1), Format("%d %d", other, own),
                      "captions after the swap");
            CheckNumbersOnScreen(game, "swap-closed");
        }
        Check(game.Enabled(IDC_DEAL) == waits && game.Enabled(IDC_NO_DEAL) == waits,
              step + ": DEAL and NO DEAL should be enabled only while an offer waits");
        if (waits) {
            bool deal = picks == 9;
            Click(game, deal ? IDC_DEAL : IDC_NO_DEAL);
            WaitStatus(game, deal ? "DEAL! NOW CARRY ON AND OPEN THE BOXES" : "NO DEAL! NOW CARRY ON AND OPEN THE BOXES");
            Check(WaitFor([&] { return !game.Enabled(IDC_DEAL) && !game.Enabled(IDC_NO_DEAL); }, kStepTimeout),
                  step + ": DEAL and NO DEAL stay enabled after the answer");
            CheckText(game.Text(IDC_OFFER) + " " + game.Text(IDC_BANK), " " + (deal ? offers.back() : std::string("\xA3" "0.00")),
                      step + ": offer and bank after the answer");
            dealt = deal ? Offer(left) : dealt;
        }
        if (picks == 21)
            WaitStatus(game, "OPEN YOUR BOX", kCallWait);
        plates = left;
        ++picks;
    }
    Check(PlatesInSight(game).empty(), "plates left on the board at the end");
    for (int i = 0; i < 22; ++i)
        Check(!InSight(game, IDC_BOX_BUTTON + i), Format("box %d's button still in sight at the end", i + 1));
    Require(game.PressAltF4(), game.Error());
    DWORD code = 99;
    Check(game.WaitExit(kExitTimeout, &code) && code == 0, Format("Alt+F4 should end the game with 0 (code %lu)", code));
}

// ---- NEW GAME and closing during a banker's call -------------------------

static void StartCall(Game& game, const std::vector<int>& boxes)
{
    for (size_t i = 0; i + 1 < boxes.size(); ++i)
        OpenBox(game, boxes[i], "OPEN A BOX");
    Click(game, IDC_BOX_BUTTON + boxes.back() - 1);
    WaitStatus(game, "THE BANKER WISHES TO MAKE A DEAL");
}

static void NewGameAndClose()
{
    Game game;
    Require(game.Start(), game.Error());
    OpenBox(game, 3, "OPEN A BOX");
    OpenBox(game, 1, "OPEN A BOX");
    std::vector<std::string> before = BoardLines(game);
    Click(game, IDC_NEW_GAME);
    CheckAnswerBox(game, "NEW GAME", "START AGAIN?", IDNO);
    Sleep(500);
    Check(BoardLines(game) == before, "NEW GAME answered No changed the board");
    StartCall(game, {2, 4, 5, 6});
    Click(game, IDC_NEW_GAME);
    CheckAnswerBox(game, "NEW GAME", "START AGAIN?", IDYES);
    WaitStatus(game, "CHOOSE YOUR OWN BOX");
    CheckFresh(game, "Yes during the rings");
    // The interrupted call would have made its offer within the next ten seconds.
    Check(!WaitFor([&] { return game.Text(IDC_STATUS) != "CHOOSE YOUR OWN BOX" || game.Text(IDC_OFFER) != "\xA3" ||
                                !game.ListLines(IDC_OFFER_LIST).empty() || game.Enabled(IDC_DEAL); }, 10000),
          "the old call came back: status \"" + Printable(game.Text(IDC_STATUS)) + "\", offer \"" + Printable(game.Text(IDC_OFFER)) + "\"");
    StartCall(game, {1, 2, 3, 4, 5, 6});
    DWORD start = GetTickCount(), code = 99;
    Check(game.PostClose() && game.WaitExit(3000, &code) && code == 0,
          Format("WM_CLOSE during the rings should end the game with 0 (code %lu after %lu ms)", code, GetTickCount() - start));
}

std::vector<TestCase> NewGameTests()
{
    return {{"No changes nothing; Yes during the rings deals afresh for good; WM_CLOSE during the rings ends it", NewGameAndClose}};
}

std::vector<TestCase> KeyTests()
{
    return {{"no key changes anything, at start and with an offer waiting; Alt+F4 closes", CheckKeys}};
}

std::vector<TestCase> GameTests()
{
    return {{"a whole game: NO DEAL, DEAL, would-have calls, the verdict, the last box", PlayWholeGame}};
}

}  // namespace e2e
