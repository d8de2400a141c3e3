// Whole games played by clicks: the choice, the reveals, the banker's offers and the
// answers, the swap, the verdict and the last box, each step checked against what
// the driver works out from the amounts it has seen leave the board.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tests/e2e/board.h"
#include "tests/e2e/tests.h"
#include "tests/e2e/transcript.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

// The amounts by value index, in pounds, as the game holds them.
static const float kAmounts[kBoxes] = {
    0.01f, 0.10f, 0.50f, 1.0f, 5.0f, 10.0f, 50.0f, 100.0f, 250.0f, 500.0f, 750.0f,
    1000.0f, 3000.0f, 5000.0f, 10000.0f, 15000.0f, 20000.0f, 35000.0f, 50000.0f, 75000.0f, 100000.0f, 250000.0f,
};

static const char kOpenABox[] = "OPEN A BOX";
static const char kPrompt[] = "PRESS THE DEAL BUTTON OR NO DEAL BUTTON";
static const char kBankerCalls[] = "THE BANKER WISHES TO MAKE A DEAL";
static const char kBankerTells[] = "THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU";
static const char kWouldHave[] = "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES";
static const char kDealMade[] = "DEAL! NOW CARRY ON AND OPEN THE BOXES";
static const char kNoDealMade[] = "NO DEAL! NOW CARRY ON AND OPEN THE BOXES";
static const char kSwapChance[] = "THE BANKER WILL ALLOW YOU TO SWAP YOUR BOX";
static const char kOpenYourBox[] = "OPEN YOUR BOX";
static const char kOpenTheLastBox[] = "OPEN THE LAST BOX";
static const char kThankYou[] = "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'";

// A banker's call runs three waits of three ticks and its last answer may
// take four ticks more to be prompted: far inside these limits.
const int kCallTimeout = 30000;
const int kPromptTimeout = 10000;

static std::string MoneyText(float amount)
{
    char text[64] = "";
    if (amount < 1.0f)
        snprintf(text, sizeof text, "\xA3%0.2f", static_cast<double>(amount));
    if (amount > 0.99f)
        snprintf(text, sizeof text, "\xA3%0.0f", static_cast<double>(amount));
    size_t length = strlen(text);
    const float kZeroFrom[] = {99.99f, 999.99f, 99999.99f};
    for (size_t n = 0; n < 3 && n < length; ++n)
        if (amount > kZeroFrom[n])
            text[length - 1 - n] = '0';
    return text;
}

// The banker's rule, worked out apart from the game: the square of the mean
// of the square roots, in double, stored as a float.
static float BankerOffer(const std::vector<int>& values)
{
    double sum = 0.0;
    for (int v : values)
        sum += std::sqrt(static_cast<double>(kAmounts[v]));
    double mean = sum / static_cast<double>(values.size());
    return static_cast<float>(std::pow(mean, 2.0));
}

static std::string RevealText(int v)
{
    return Format("YOU HAVE REVEALED '%0.2f'", static_cast<double>(kAmounts[v]));
}

static bool IsCallCount(int picks)
{
    return picks >= 6 && picks <= 21 && picks % 3 == 0;
}

// How the driver plays a game.
struct GameRow {
    const char* name;
    int own;              // the own box's number
    int dealAtCall;       // the call (1 to 6) answered DEAL; 0 answers NO DEAL to every one
    int swapAnswer;       // IDYES or IDNO, should the banker offer the swap
    bool fromTheTop;      // open the other boxes in rising number order, else falling
};

// What the driver knows of the game in play.
struct Table {
    Game& game;
    Transcript& log;
    const GameRow& row;
    std::vector<int> closed;    // numbers of the other boxes not opened yet, in the order of play
    std::vector<int> inPlay;    // value indices not revealed yet, the own box's included
    int picks = 0;
    int calls = 0;
    float offer = 0.0f;         // the latest offer, live or would-have
    bool dealt = false;
    float banked = 0.0f;
    size_t dealMark = 0;        // the first record after DEAL
    bool swapped = false;
};

static bool IsStatus(const Recorded& record, const std::string& text)
{
    return record.kind == kRecordText && record.control == IDC_STATUS && record.text == text;
}

static std::string Joined(const std::vector<std::string>& texts)
{
    std::string joined;
    for (size_t n = 0; n < texts.size(); ++n)
        joined += (n ? ", \"" : "\"") + Printable(texts[n]) + "\"";
    return "[" + joined + "]";
}

// The status texts from `mark` on, prompts left out: the clock prompts at
// any pump while a live offer waits, inside a click too.
static std::vector<std::string> StatusesSince(Table& t, size_t mark)
{
    std::vector<std::string> texts = StatusTexts(t.log.Since(mark));
    texts.erase(std::remove(texts.begin(), texts.end(), std::string(kPrompt)), texts.end());
    return texts;
}

static void CheckStatuses(Table& t, size_t mark, const std::vector<std::string>& expected, const std::string& what)
{
    std::vector<std::string> actual = StatusesSince(t, mark);
    Check(actual == expected,
          Format("%s: the status read %s, expected %s", what.c_str(), Joined(actual).c_str(), Joined(expected).c_str()));
}

// The click's closing step enables the last box button last; the pump that
// follows it answers the driver, so everything the click did is recorded then.
static void WaitForClickEnd(Table& t, size_t mark, const std::string& what)
{
    bool ended = t.log.WaitFor(
        mark,
        [](const Recorded& r) { return r.kind == kRecordEnabled && r.control == IDC_BOX_BUTTON + kBoxes - 1 && r.value; },
        kCallTimeout);
    Require(ended, what + ": the click did not end: the box buttons were not enabled again; the status reads \"" +
                       Printable(t.game.Text(IDC_STATUS)) + "\"");
    Require(GameAnswers(t.game, kStepTimeout), what + ": the game does not answer");
}

static void SaveShot(Game& game, const char* name)
{
    game.Raise();
    // Let a freshly raised window finish painting.
    Sleep(700);
    std::string error;
    Check(SaveScreenshot(game.Window(), name, &error), error);
}

// Opened boxes are blue below £1,000 and red from it, inside a lavender frame.
static bool ShowsOpenedBox(const Game& game, int box, int v, COLORREF* seen)
{
    RECT picture = game.ClientRect(IDC_BOX_PICTURE + box - 1);
    RECT probe = MakeRect(picture.left + 5, picture.top + 60, 1, 1);
    Pixels pixels;
    std::string error;
    if (!CapturePixels(game.Window(), probe, &pixels, &error))
        return false;
    *seen = pixels.At(0, 0);
    COLORREF wanted = v <= 10 ? RGB(115, 115, 217) : RGB(254, 26, 13);
    return abs(GetRValue(*seen) - GetRValue(wanted)) <= 12 && abs(GetGValue(*seen) - GetGValue(wanted)) <= 12 &&
           abs(GetBValue(*seen) - GetBValue(wanted)) <= 12;
}

// Every plate of an amount still in play at home, every other out of sight.
static void CheckPlates(Table& t, const std::string& when)
{
    for (int v = 0; v < kBoxes; ++v) {
        bool inPlay = std::find(t.inPlay.begin(), t.inPlay.end(), v) != t.inPlay.end();
        if (inPlay)
            CheckPlace(t.game, IDC_BOARD_VALUE + v, PlateHome(v), Format("%s: plate of %s", when.c_str(),
                                                                            Printable(MoneyText(kAmounts[v])).c_str()));
        else
            Check(OutOfSight(t.game, IDC_BOARD_VALUE + v),
                  Format("%s: the plate of %s, revealed, is in sight at %s", when.c_str(),
                         Printable(MoneyText(kAmounts[v])).c_str(), RectText(t.game.ClientRect(IDC_BOARD_VALUE + v)).c_str()));
    }
}

// Waits for the reveal's status text, learns the amount from it and checks
// the board: the box's button and its amount's plate gone, its picture opened.
static int AwaitReveal(Table& t, size_t mark, int box)
{
    std::string what = Format("box %d", box);
    std::string seen;
    bool revealed = t.log.WaitFor(
        mark,
        [&](const Recorded& r) {
            if (r.kind != kRecordText || r.control != IDC_STATUS || r.text.rfind("YOU HAVE REVEALED '", 0) != 0)
                return false;
            seen = r.text;
            return true;
        },
        kStepTimeout);
    Require(revealed, what + ": no reveal; the status reads \"" + Printable(t.game.Text(IDC_STATUS)) + "\"");
    auto found = std::find_if(t.inPlay.begin(), t.inPlay.end(), [&](int v) { return RevealText(v) == seen; });
    Require(found != t.inPlay.end(), what + ": \"" + Printable(seen) + "\" is no amount still in play");
    int v = *found;
    t.inPlay.erase(found);
    t.closed.erase(std::remove(t.closed.begin(), t.closed.end(), box), t.closed.end());

    Check(OutOfSight(t.game, IDC_BOX_BUTTON + box - 1), what + ": the opened box's button is in sight");
    CheckPlace(t.game, IDC_BOX_PICTURE + box - 1, box == t.row.own ? OwnPicturePlace() : PictureHome(box - 1),
               what + ": picture");
    CheckPlates(t, what + " opened");
    COLORREF colour = 0;
    bool opened = WaitFor([&] { return ShowsOpenedBox(t.game, box, v, &colour); }, kStepTimeout, 100);
    Check(opened, Format("%s: the picture does not show the opened box of %s: 0x%06lX near its corner", what.c_str(),
                         Printable(MoneyText(kAmounts[v])).c_str(), colour));
    return v;
}

// The offer display and the last line of the offer list show the offer.
static void CheckOfferShown(Table& t, const std::string& what)
{
    CheckText(t.game.Text(IDC_OFFER), MoneyText(t.offer), what + ": offer display");
    std::vector<std::string> lines = t.game.ListLines(IDC_OFFER_LIST);
    CheckInt(static_cast<long long>(lines.size()), t.calls, what + ": lines in the offer list");
    if (!lines.empty())
        CheckText(lines.back(), MoneyText(t.offer), what + ": last line of the offer list");
}

static void AwaitPrompt(Table& t, const std::string& what)
{
    bool prompted = WaitFor(
        [&] {
            return t.game.Enabled(IDC_DEAL) && t.game.Enabled(IDC_NO_DEAL) && t.game.Text(IDC_STATUS) == kPrompt;
        },
        kPromptTimeout, 100);
    Require(prompted, what + ": no prompt; the status reads \"" + Printable(t.game.Text(IDC_STATUS)) + "\"");
}

// A refused box click moves the focus to the offer list and may empty the
// offer display; nothing else may happen, so the records hold nothing else.
static void CheckRefusedClick(Table& t, int box, bool mayEmptyOffer, const std::string& what)
{
    BoardState before = ReadBoard(t.game);
    size_t mark = t.log.Mark();
    ClickOrAbort(t.game, IDC_BOX_BUTTON + box - 1);
    // The button takes the focus as it is pressed, the game hands it on to the
    // offer list as it takes the click; raising the window may move it before.
    bool pressed = false;
    bool handled = t.log.WaitFor(
        mark,
        [&](const Recorded& r) {
            pressed = pressed || (r.kind == kRecordFocus && r.control == IDC_BOX_BUTTON + box - 1);
            return pressed && r.kind == kRecordFocus && r.control == IDC_OFFER_LIST;
        },
        kStepTimeout);
    Require(handled, what + ": the click on box " + std::to_string(box) + " did not reach the game");
    Require(GameAnswers(t.game, kStepTimeout), what + ": the game does not answer");
    for (const Recorded& r : t.log.Since(mark)) {
        bool allowed = r.kind == kRecordFocus || (mayEmptyOffer && r.kind == kRecordText && r.control == IDC_OFFER &&
                                                   r.text.empty()) ||
                       IsStatus(r, kPrompt) || (r.kind == kRecordEnabled && r.value &&
                                                (r.control == IDC_DEAL || r.control == IDC_NO_DEAL));
        Check(allowed, Format("%s: the refused click on box %d changed control %d (record kind %ld, value %ld, \"%s\")",
                              what.c_str(), box, r.control, static_cast<long>(r.kind), r.value,
                              Printable(r.text).c_str()));
    }
    for (const std::string& difference : CompareBoards(before, ReadBoard(t.game))) {
        bool emptied = mayEmptyOffer && difference.rfind(Format("control %d text:", IDC_OFFER), 0) == 0;
        Check(emptied, what + ": after a refused click on box " + std::to_string(box) + ": " + difference);
    }
}

static void Answer(Table& t, bool deal)
{
    std::string what = Format("answer to call %d", t.calls);
    size_t mark = t.log.Mark();
    ClickOrAbort(t.game, deal ? IDC_DEAL : IDC_NO_DEAL);
    // The handler disables the two buttons after painting its status.
    bool done = t.log.WaitFor(
        mark, [](const Recorded& r) { return r.kind == kRecordEnabled && r.control == IDC_NO_DEAL && !r.value; },
        kStepTimeout);
    Require(done, what + ": NO DEAL was not disabled");
    std::vector<std::string> statuses = StatusesSince(t, mark);
    CheckText(statuses.empty() ? std::string() : statuses.front(), deal ? kDealMade : kNoDealMade, what + ": status");
    Check(!t.game.Enabled(IDC_DEAL), what + ": DEAL is still enabled");
    Check(!t.game.Enabled(IDC_NO_DEAL), what + ": NO DEAL is still enabled");
    CheckText(t.game.Text(IDC_OFFER), "", what + ": offer display");
    if (deal) {
        t.dealt = true;
        t.banked = t.offer;
        t.dealMark = mark;
    }
    CheckText(t.game.Text(IDC_BANK), t.dealt ? MoneyText(t.banked) : "\xA3" "0.00", what + ": bank display");
}

// The end of the last call: the swap chance, if the banker grants it, then "OPEN YOUR BOX".
static void FinishLastCall(Table& t, size_t mark, const std::vector<std::string>& callStatuses)
{
    bool chanceOrEnd = t.log.WaitFor(
        mark,
        [](const Recorded& r) {
            return IsStatus(r, kSwapChance) ||
                   (r.kind == kRecordEnabled && r.control == IDC_BOX_BUTTON + kBoxes - 1 && r.value);
        },
        kCallTimeout);
    Require(chanceOrEnd, "the last call neither offered the swap nor ended");
    int other = t.closed.front();
    std::vector<std::string> expected = callStatuses;
    std::vector<std::string> statuses = StatusesSince(t, mark);
    bool chance = std::find(statuses.begin(), statuses.end(), std::string(kSwapChance)) != statuses.end();
    if (chance) {
        expected.push_back(kSwapChance);
        HWND box = WaitForMessageBox(t.game, "BANKER ASKS ...", kCallTimeout);
        Require(box != nullptr, "the swap chance came without its question");
        CheckText(MessageBoxText(box), "SWAP YOUR BOX?", "text of the swap question");
        Check(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK),
              "the swap question does not have just Yes and No");
        Check(!MessageBoxShowsIcon(box), "the swap question shows an icon");
        Check(GetWindow(box, GW_OWNER) == nullptr, "the swap question has an owner window");
        std::string error;
        Require(AnswerMessageBox(box, t.row.swapAnswer, &error), error);
        t.swapped = t.row.swapAnswer == IDYES;
        Note(Format("the banker offered the swap of box %d for box %d; answered %s", t.row.own, other,
                    t.swapped ? "Yes" : "No"));
    } else {
        Note("no swap question in this game");
    }
    WaitForClickEnd(t, mark, "last call");
    expected.push_back(kOpenYourBox);
    CheckStatuses(t, mark, expected, "the click of the last call");
    Check(AnyMessageBox(t.game) == nullptr, "a message box is open after the last call");
    CheckText(t.game.Text(IDC_BOX_BUTTON + t.row.own - 1), std::to_string(t.swapped ? other : t.row.own),
              "caption of the button in MY BOX");
    CheckText(t.game.Text(IDC_BOX_BUTTON + other - 1), std::to_string(t.swapped ? t.row.own : other),
              "caption of the last box on the board");
}

// Opens a box that is neither the own box nor the last one, and follows the
// banker's call that it brings, answering as the row says.
static void OpenOther(Table& t, int box)
{
    std::string what = Format("box %d", box);
    size_t mark = t.log.Mark();
    ClickOrAbort(t.game, IDC_BOX_BUTTON + box - 1);
    ++t.picks;
    int v = AwaitReveal(t, mark, box);
    if (!IsCallCount(t.picks)) {
        WaitForClickEnd(t, mark, what);
        std::vector<std::string> expected = {RevealText(v)};
        if (!t.dealt)
            expected.push_back(kOpenABox);
        CheckStatuses(t, mark, expected, what);
        return;
    }

    ++t.calls;
    t.offer = BankerOffer(t.inPlay);
    std::string call = Format("call %d (after %d boxes)", t.calls, t.picks - 1);
    bool offered = t.log.WaitFor(
        mark, [](const Recorded& r) { return r.kind == kRecordLineAdded && r.control == IDC_OFFER_LIST; }, kCallTimeout);
    Require(offered, call + ": no offer was listed");
    std::vector<std::string> callStatuses = {RevealText(v)};
    if (t.dealt) {
        callStatuses.push_back(kBankerTells);
        callStatuses.push_back(kWouldHave);
        if (t.picks == 21) {
            CheckOfferShown(t, call);
            FinishLastCall(t, mark, callStatuses);
            return;
        }
        WaitForClickEnd(t, mark, call);
        CheckStatuses(t, mark, callStatuses, call);
        CheckOfferShown(t, call);
        return;
    }

    callStatuses.push_back(kBankerCalls);
    if (t.picks < 21) {
        WaitForClickEnd(t, mark, call);
        CheckStatuses(t, mark, callStatuses, call);
    }
    AwaitPrompt(t, call);
    CheckOfferShown(t, call);
    if (t.calls == 1) {
        SaveShot(t.game, "banker_offer");
        CheckRefusedClick(t, t.closed.front(), false, call + ", offer waiting");
        CheckRefusedClick(t, t.row.own, false, call + ", offer waiting, own box");
    }
    bool deal = t.calls == t.row.dealAtCall;
    Answer(t, deal);
    callStatuses.push_back(deal ? kDealMade : kNoDealMade);
    if (t.picks == 21)
        FinishLastCall(t, mark, callStatuses);
}

static void OpenOwnBox(Table& t)
{
    size_t mark = t.log.Mark();
    ClickOrAbort(t.game, IDC_BOX_BUTTON + t.row.own - 1);
    ++t.picks;
    int v = AwaitReveal(t, mark, t.row.own);
    float own = kAmounts[v];
    float taken = t.dealt ? t.banked : own;
    // Equal amounts lose: the player must beat the banker.
    bool won = t.dealt ? t.banked > own : own > t.offer;
    Note(Format("own box %s, %s %s: %s", Printable(MoneyText(own)).c_str(), t.dealt ? "deal" : "last offer",
                Printable(MoneyText(t.dealt ? t.banked : t.offer)).c_str(), won ? "won" : "lost"));

    HWND box = nullptr;
    bool shown = WaitFor(
        [&] {
            box = AnyMessageBox(t.game);
            return box != nullptr && !MessageBoxText(box).empty();
        },
        kStepTimeout);
    Require(shown, "no verdict after the own box was opened");
    CheckText(WindowText(box), won ? "CONGRATULATIONS" : "UNLUCKY", "caption of the verdict");
    CheckText(MessageBoxText(box), won ? "YOU TRELVASK" : "YOU DID NOT TRELVASK\n\nTHE BANKER WON", "text of the verdict");
    Check(MessageBoxShowsIcon(box), "the verdict shows no icon");
    Check(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDYES) && !GetDlgItem(box, IDNO), "the verdict has not just OK");
    Check(GetWindow(box, GW_OWNER) == nullptr, "the verdict has an owner window");
    CheckText(t.game.Text(IDC_BANK), MoneyText(taken), "bank display at the verdict");
    std::vector<std::string> history = t.game.ListLines(IDC_WIN_HISTORY);
    Check(history == std::vector<std::string>{MoneyText(taken)},
          "the win history reads " + Joined(history) + ", expected [\"" + Printable(MoneyText(taken)) + "\"]");
    std::string error;
    Require(AnswerMessageBox(box, IDOK, &error), error);
    WaitForClickEnd(t, mark, "own box");
    CheckStatuses(t, mark, {RevealText(v), kOpenTheLastBox}, "own box");
}

static void OpenLastBox(Table& t)
{
    int box = t.closed.front();
    size_t mark = t.log.Mark();
    ClickOrAbort(t.game, IDC_BOX_BUTTON + box - 1);
    ++t.picks;
    int v = AwaitReveal(t, mark, box);
    WaitForClickEnd(t, mark, "last box");
    CheckStatuses(t, mark, {RevealText(v), kThankYou}, "last box");
    CheckText(t.game.Text(IDC_STATUS), kThankYou, "status at the end");
    for (int i = 0; i < kBoxes; ++i)
        Check(OutOfSight(t.game, IDC_BOX_BUTTON + i), Format("box button %d is in sight at the end", i + 1));
    CheckInt(static_cast<long long>(t.game.ListLines(IDC_WIN_HISTORY).size()), 1, "lines in the win history at the end");
}

static void PlayWholeGame(const GameRow& row)
{
    Game game;
    StartOrAbort(game);
    Transcript log;
    std::string error;
    Require(log.Attach(game, &error), error);
    Table t{game, log, row, {}, {}};
    for (int v = 0; v < kBoxes; ++v)
        t.inPlay.push_back(v);
    for (int n = 1; n <= kBoxes; ++n)
        if (n != row.own)
            t.closed.push_back(n);
    if (!row.fromTheTop)
        std::reverse(t.closed.begin(), t.closed.end());

    size_t mark = log.Mark();
    ClickOrAbort(game, IDC_BOX_BUTTON + row.own - 1);
    ++t.picks;
    WaitForClickEnd(t, mark, "choice");
    CheckStatuses(t, mark, {Format("YOU HAVE CHOSEN BOX '%d'", row.own), kOpenABox}, "choice");
    CheckPlace(game, IDC_BOX_BUTTON + row.own - 1, OwnButtonPlace(), "button of the own box");
    CheckPlace(game, IDC_BOX_PICTURE + row.own - 1, OwnPicturePlace(), "picture of the own box");

    while (t.closed.size() > 1)
        OpenOther(t, t.closed.front());
    CheckRefusedClick(t, t.closed.front(), true, "the last other box before the own box");
    OpenOwnBox(t);
    OpenLastBox(t);
    if (t.dealt) {
        for (const Recorded& r : log.Since(t.dealMark))
            Check(!IsStatus(r, kPrompt) && !(r.kind == kRecordEnabled && r.control == IDC_DEAL && r.value),
                  "the clock prompted for an answer after the deal");
    }
    SaveShot(game, Format("game_over_%s", row.dealAtCall ? "deal" : "no_deal").c_str());
    CloseAndCheckExit(game);
}

std::vector<TestCase> GameTests()
{
    static const GameRow kRows[] = {
        {"NO DEAL at the first call, DEAL at the second; swap answered Yes", 7, 2, IDYES, true},
        {"NO DEAL to the end; swap answered No", 16, 0, IDNO, false},
    };
    std::vector<TestCase> cases;
    for (const GameRow& row : kRows)
        cases.push_back({std::string("whole game: ") + row.name, [&row] { PlayWholeGame(row); }});
    return cases;
}

}  // namespace e2e
