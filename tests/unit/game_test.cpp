// Whole games against the fake window: deals, clicks, the banker, the clock, NEW GAME, closing.
#include <gtest/gtest.h>

#include "tests/unit/fake.h"

using namespace fake;

static const char *kWon = "CONGRATULATIONS|YOU TRELVASK", *kLost = "UNLUCKY|YOU DID NOT TRELVASK\n\nTHE BANKER WON";

static void ExpectFreshBoard(const std::vector<uint32_t>& deal = {})
{
    for (int i = 0; i < kBoxCount; ++i) {
        const Control &button = controls[IDC_BOX_BUTTON + i], &picture = controls[IDC_BOX_PICTURE + i];
        EXPECT_TRUE(button.x == 200 + i && button.y == 20 && button.enabled && button.text == std::to_string(i + 1) &&
                    picture.x == 100 + i && picture.y == 10 && picture.picture == IDB_CLOSED_BOX &&
                    controls[IDC_BOARD_VALUE + i].x == 300 + i && controls[IDC_BOARD_VALUE + i].y == 30 &&
                    !boxRecords[i].opened && !boxRecords[i].chosen && BoxOf(i) < kBoxCount &&
                    (deal.empty() || boxRecords[i].valueIndex == deal[i])) << "box or value " << i;
    }
    EXPECT_EQ(controls[IDC_OFFER].text + controls[IDC_BANK].text + Status(), "\xA3\xA3" "0.00CHOOSE YOUR OWN BOX");
    EXPECT_TRUE(!controls[IDC_DEAL].enabled && !controls[IDC_NO_DEAL].enabled && controls[IDC_OFFER_LIST].lines.empty() &&
                dealAmount == 0.0f && (picksMade | offerPending | dealt | busy | ownBoxChosen | promptTickCount) == 0);
    EXPECT_TRUE(waitTickCount <= 2 && ambientTickCount == waitTickCount);   // the new game's pump and the click's may tick
}

// By value index: own box, left for last, where the rest start (upward, wrapping), the call answered DEAL, where to stop.
struct Plan { int own, last, from = 0, dealAt = 0, stopAt = 23; };

// Plays by the plan, checking each click's rules; returns the offers. Stops if the game is replaced or closed.
static std::vector<float> Play(const Plan& plan)
{
    static const char* kReaction[2] = {"5555555554444446661111", "1111111116666664445555"};   // by value, deal or not
    std::vector<int> order = {BoxOf(plan.own)};   // boxes, all found before a swap moves the values
    for (int k = 0; k < kBoxCount; ++k)
        if (int v = (plan.from + k) % kBoxCount; v != plan.own && v != plan.last)
            order.push_back(BoxOf(v));
    order.insert(order.end(), {order[0], BoxOf(plan.last)});
    std::vector<float> offers;
    int game = gameNumber, own = order[0], spare = order.back();
    for (int box : order) {
        int value = int(boxRecords[box].valueIndex), picks = picksMade, wasDealt = dealt, calls = CallsBy(picks);
        if (picks >= plan.stopAt)
            break;
        if (boxRecords[box].opened || (box == own && picks > 0 && picks < 21))
            continue;   // played already, before a lower stop
        size_t mark = ops.size();
        if (picks >= 1 && picks < 21) {   // the own box waits its turn; a click queued behind this one is refused
            OpenBox(own);
            EXPECT_TRUE(picksMade == picks && !boxRecords[own].opened) << "own box at " << picks;
            atPump[pumps + 1] = [spare] { OpenBox(spare); EXPECT_EQ(ops.back().kind, "focus") << "a click queued behind another"; };
        }
        if (picks == 20 && !dealt)   // the last call waits for its answer inside the click
            whens.push_back({[] { return controls[IDC_DEAL].enabled; }, [deal = plan.dealAt == 6] { ClickAnswer(deal); }});
        OpenBox(box);
        if (gameNumber != game || quitTaken)
            break;
        std::vector<int> sounds, unguarded;   // a sound played with a box button enabled lets a second click in
        for (size_t k = mark; k < ops.size(); ++k)
            if (ops[k].kind == "sound")
                (ops[k].value == "0" ? sounds : unguarded).push_back(ops[k].id);
        EXPECT_TRUE(picksMade == picks + 1 && unguarded.empty() && !busy && (picks >= 5 || !promptTickCount) &&
                    BoxesEnabled() == 22 && controls[IDC_OFFER_LIST].lines.size() == size_t(CallsBy(picksMade))) << picks;
        std::string status = offerPending ? "THE BANKER WISHES TO MAKE A DEAL" : picks == 20 ? "OPEN YOUR BOX" : picks == 21
            ? "OPEN THE LAST BOX" : picks == 22 ? "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'" : !dealt ? "OPEN A BOX"
            : CallsBy(picks + 1) > calls ? "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES" : "YOU HAVE REVEALED '";
        EXPECT_EQ(Status().substr(0, status.size()), status);
        if (picks == 0)
            EXPECT_TRUE(sounds.empty() && controls[IDC_BOX_BUTTON + box].x == 359 && controls[IDC_BOX_PICTURE + box].y == 431);
        else if (picks < 21)
            EXPECT_EQ(sounds.size() >= 2 ? sounds[1] : -1, kReaction[wasDealt][value] - '0') << "value " << value;
        EXPECT_TRUE(picks != 22 || sounds == std::vector<int>({SOUND_REVEAL, SOUND_TITLE}));
        offers.resize(size_t(CallsBy(picksMade)), lastOffer);   // one offer per call
        if (!offerPending)
            continue;
        OpenBox(spare);   // refused while the offer waits
        PumpUntil([game] { return gameNumber != game || quitTaken || controls[IDC_DEAL].enabled; });
        ClickAnswer(int(offers.size()) == plan.dealAt);
        if (quitTaken || gameNumber != game)
            break;
        EXPECT_TRUE(!dealt || controls[IDC_BANK].text == controls[IDC_OFFER_LIST].lines.back());   // banked at once
        EXPECT_FALSE(offerPending || controls[IDC_DEAL].enabled || controls[IDC_NO_DEAL].enabled || picksMade != picks + 1);
    }
    return offers;
}

// Each game ends in NEW GAME, which puts back swapped captions; its first draw for box 1 (22) names no amount.
TEST(Game, WorkedDealsAndGamesFromTheChoiceToTheLastBox)
{
    const std::vector<uint32_t> midsummerDeal = {6, 4, 9, 14, 15, 12, 16, 19, 2, 11, 1, 10, 21, 17, 18, 5, 13, 0, 3, 7, 20, 8},
                                januaryDeal = {7, 0, 20, 14, 12, 19, 18, 13, 2, 9, 15, 5, 17, 1, 10, 3, 16, 4, 6, 11, 8, 21};
    enum { kNoSwap, kSwapNo, kSwapYes };
    const struct Row { UtcTime clock; Plan plan; float first, last; const char *verdict, *bank; bool tie; int swap; } rows[] = {
        {kMidsummer, {0, 2, 17}, 1292.4131f, 0.16285534f, kLost, "\xA3" "0.01"},   // the five largest first
        {kJanuary, {11, 13, 0, 6}, 15369.754f, 2618.0339f, kWon, "\xA3" "2600"},
        {kMidsummer, {21, 0}, 0, 62525.004f, kWon, "\xA3" "250000"},
        {kMidsummer, {21, 0, 0, 6}, 0, 62525.004f, kLost, "\xA3" "62500"},
        {kMidsummer, {5, 21, 0, 1}, 15369.754f, 0, kWon, "\xA3" "15300"},
        {kMidsummer, {21, 0}, 0, 0, kLost, "\xA3" "250000", true},   // equal amounts lose
        {kMidsummer, {21, 1, 1, 1}, 0, 0, kLost, "\xA3" "250000", true},   // and the smallest revealed after the deal
        {kJanuary, {3, 21}, 0, 62750.25f, kLost, "\xA3" "1", false, kSwapNo},
        {kJanuary, {3, 21}, 0, 62750.25f, kWon, "\xA3" "250000", false, kSwapYes},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Reset(row.clock);
        ExpectFreshBoard(row.clock.year == 2008 ? januaryDeal : midsummerDeal);
        int own = BoxOf(row.plan.own), other = BoxOf(row.plan.last);   // a swap moves values and captions, not boxes
        if (row.tie)   // the last call is over, the own box not yet opened
            whens.push_back({[] { return picksMade == 21 && !busy; },
                             [own] { (dealt ? dealAmount : lastOffer) = kBoxValues[boxRecords[own].valueIndex]; }});
        if (row.swap)   // nothing draws before the swap chance, which then draws 0
            rngState = 0, answer = row.swap == kSwapYes;
        std::vector<float> offers = Play(row.plan);
        EXPECT_TRUE(offers.size() == 6 && (!row.first || offers[0] == row.first) && (!row.last || lastOffer == row.last));
        EXPECT_TRUE(lastBox == row.verdict && picksMade == 23 && controls[IDC_BANK].text == row.bank);
        EXPECT_EQ(controls[IDC_WIN_HISTORY].lines, std::vector<std::string>{row.bank});
        EXPECT_TRUE(!row.swap || controls[IDC_BOX_BUTTON + BoxOf(row.plan.own)].text + controls[IDC_BOX_BUTTON +
                    BoxOf(row.plan.last)].text == std::to_string(own + 1) + std::to_string(other + 1));
        rngState = StateBefore(StateBefore(4294967293u));
        ClickNewGame(true);
        ExpectFreshBoard();
    }
}

// NEW GAME (after a No that changes nothing), or the window closing, in each kind of pump.
TEST(Game, NewGameOrCloseInsideEveryKindOfPump)
{
    const struct Moment { int stopAt; std::function<bool()> when; } moments[] = {
        {2, [] { return Status().rfind("YOU HAVE REVEALED", 0) == 0; }},
        {5, [] { return busy && waitTickCount == 1; }},   // the banker's waits
        {5, [] { return offerPending == 1; }},
        {5, [] { return Status() == "PRESS THE DEAL BUTTON OR NO DEAL BUTTON"; }},
        {5, [] { return Status().rfind("NO DEAL!", 0) == 0; }},
        {20, [] { return picksMade == 21 && controls[IDC_DEAL].enabled; }},   // the wait for the last answer
        {20, nullptr},         // the swap question: the swap chance draws 0
        {21, nullptr},         // the verdict
        {22, [] { return Status().rfind("THANKYOU", 0) == 0; }},
    };
    for (bool close : {false, true})
        for (const Moment& moment : moments) {
            SCOPED_TRACE(std::to_string(&moment - moments) + (close ? " close" : " new game"));
            Reset();
            Play({0, 21, 0, 0, moment.stopAt});
            // A No deals nothing, so no title sound follows it.
            Event act = [close] { ops.clear(), ClickNewGame(false), close ? void(quitPosted = true) : ClickNewGame(true); };
            moment.when ? whens.push_back({moment.when, act}) : void(inMessageBox = act);
            rngState = 0;
            Play({0, 21, 0, 0, moment.stopAt + 1});
            if (!close)   // and the new game takes a click at once
                ExpectFreshBoard(), OpenBox(7);
            EXPECT_TRUE(close ? std::none_of(ops.begin(), ops.end(), [](const Op& op) { return op.kind == "sound"; })
                              : boxRecords[7].chosen && picksMade == 1);
        }
}

TEST(Clock, AmbientEveryFourthTickOnceChosenAndPromptsEveryFourthWhileAnOfferWaits)
{
    Reset();
    PumpUntil([] { return ticks == 9; });
    Play({0, 21, 0, 0, 5});
    OpenBox(BoxOf(5));
    int offered = ticks;
    PumpUntil([offered] { return ticks == offered + 13; });
    ClickAnswer(false);
    PumpUntil([offered] { return ticks == offered + 30; });
    // None before its start, the first within four ticks, then every fourth; the prompts stop at the 13th, the answer.
    for (auto [from, sound, least, last] : {std::tuple(9, SOUND_AMBIENT, 8u, 99),
                                            std::tuple(offered, SOUND_PROMPT, 3u, 13)}) {
        std::vector<int> at;
        for (const Op& op : ops)
            if (op.kind == "async" && op.id == sound)
                at.push_back(op.tick - from);
        EXPECT_TRUE(at.size() >= least && at[0] > 0 && at.back() <= last) << sound;
        for (size_t k = 0; k < at.size(); ++k)
            EXPECT_EQ(at[k] - (k ? at[k - 1] : 0), k ? 4 : std::min(at[0], 4)) << sound << " " << k;
    }
}
