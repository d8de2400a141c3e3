// Whole games against the fake window: the deal, clicks, the banker, the clock, NEW GAME and closing.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/banker.h"
#include "game/boxes.h"
#include "game/clock.h"
#include "numerics/money.h"
#include "numerics/random.h"
#include "tests/unit/fake.h"

using namespace fake;

static const UtcTime kJanuary = {2008, 1, 4, 24, 12, 0, 0, 0};
static const char* kWon = "CONGRATULATIONS|YOU TRELVASK";
static const char* kLost = "UNLUCKY|YOU DID NOT TRELVASK\n\nTHE BANKER WON";

static int BoxOf(int value)
{
    for (int i = 0; i < kBoxCount; ++i)
        if (boxRecords[i].valueIndex == static_cast<uint32_t>(value))
            return i;
    return -1;
}

static int CallsBy(int picks)
{
    int calls = 0;
    for (int count : {6, 9, 12, 15, 18, 21})
        calls += picks >= count;
    return calls;
}

// The tick ordinals (counted from `from`) at which an op of `kind` with `id` came.
static std::vector<int> TicksOf(const std::string& kind, int id, size_t from)
{
    std::vector<int> at;
    int ticks = 0;
    for (size_t k = from; k < ops.size(); ++k) {
        ticks += ops[k].kind == "tick";
        if (ops[k].kind == kind && ops[k].id == id)
            at.push_back(ticks);
    }
    return at;
}

static std::string LastValue(const std::string& kind)
{
    for (auto op = ops.rbegin(); op != ops.rend(); ++op)
        if (op->kind == kind)
            return op->value;
    return "";
}

static void ExpectFreshBoard()
{
    for (int i = 0; i < kBoxCount; ++i) {
        const Control &button = controls[IDC_BOX_BUTTON + i], &picture = controls[IDC_BOX_PICTURE + i],
                      &plate = controls[IDC_BOARD_VALUE + i];
        EXPECT_TRUE(button.x == 200 + i && button.y == 20 && button.enabled) << "button " << i;
        EXPECT_EQ(button.text, std::to_string(i + 1));
        EXPECT_TRUE(picture.x == 100 + i && picture.y == 10 && picture.picture == IDB_CLOSED_BOX) << i;
        EXPECT_TRUE(plate.x == 300 + i && plate.y == 30) << "plate " << i;
        EXPECT_TRUE(!boxRecords[i].opened && !boxRecords[i].chosen) << i;
        EXPECT_EQ(std::count_if(boxRecords, boxRecords + kBoxCount,
                                [i](const BoxRecord& r) { return r.valueIndex == uint32_t(i); }), 1);
    }
    EXPECT_FALSE(controls[IDC_DEAL].enabled || controls[IDC_NO_DEAL].enabled);
    EXPECT_EQ(controls[IDC_OFFER].text + controls[IDC_BANK].text, "\xA3\xA3" "0.00");
    EXPECT_TRUE(controls[IDC_OFFER_LIST].lines.empty());
    EXPECT_EQ(Status(), "CHOOSE YOUR OWN BOX");
    EXPECT_EQ(picksMade | offerPending | dealt | busy | ownBoxChosen | promptTickCount, 0);
    // The new game's own pump, and the interrupted click's last, may each handle a tick.
    EXPECT_TRUE(waitTickCount <= 2 && ambientTickCount == waitTickCount);
    EXPECT_EQ(dealAmount, 0.0f);
}

struct Plan {
    int own;                     // value index of the own box
    std::vector<int> first;      // value indices opened first; then the rest ascending
    int last = -1;               // value index left for last, if any
    int dealAt = 0;              // the call (1 to 6) answered with DEAL; others NO DEAL
    int stopAt = 23;             // stop once picksMade reaches this
};

// Plays by the plan, checking at every click the rules each click keeps.
// Returns the offers; stops early when the game is replaced or the window closes.
static std::vector<float> Play(const Plan& plan)
{
    static const char* kReaction[2] = {"5555555554444446661111", "1111111116666664445555"};
    std::vector<int> order = plan.first;
    for (int v = 0; v < kBoxCount; ++v)
        if (v != plan.own && v != plan.last && std::find(order.begin(), order.end(), v) == order.end())
            order.push_back(v);
    order.insert(order.begin(), plan.own);
    if (plan.last >= 0)
        order.push_back(plan.last);
    order.insert(order.end() - 1, plan.own);
    std::vector<float> offers;
    int game = gameNumber, own = BoxOf(plan.own);
    for (int value : order) {
        if (picksMade >= plan.stopAt || gameNumber != game || quitTaken)
            break;
        int box = BoxOf(value), picks = picksMade, wasDealt = dealt;
        if (boxRecords[box].opened || (value == plan.own && picks > 0 && picks < 21))
            continue;   // played already, by an earlier call with a lower stop
        size_t mark = ops.size();
        if (picks >= 1 && picks < 21) {   // the own box waits for its turn
            ClickBox(own);
            EXPECT_TRUE(picksMade == picks && !boxRecords[own].opened) << "own box at " << picks;
        }
        if (picks >= 1) {   // a click queued behind this one finds it busy
            int queued = BoxOf(order.back());
            atPump[pumps + 1].push_back([queued] {
                size_t before = ops.size();
                ClickBox(queued);
                EXPECT_EQ(Of("focus", before).size() + before, ops.size());
            });
        }
        if (picks == 20 && !dealt)
            whens.push_back({[] { return controls[IDC_DEAL].enabled; },
                             [deal = plan.dealAt == 6] { deal ? ClickDeal() : ClickNoDeal(); }});
        ClickBox(box);
        if (gameNumber != game || quitTaken)
            break;
        EXPECT_EQ(picksMade, picks + 1);
        std::vector<std::string> sounds = Of("sound", mark);
        size_t firstSound = std::find_if(ops.begin() + mark, ops.end(),
                                         [](const Op& op) { return op.kind == "sound"; }) - ops.begin();
        if (picks)   // the buttons go off before the click's first sound
            EXPECT_EQ(std::count_if(ops.begin() + mark, ops.begin() + firstSound, [](const Op& op) {
                return op.kind == "enable" && op.value == "0" && op.id / 1000 == IDC_BOX_BUTTON / 1000;
            }), 22);
        for (int i = 0; i < kBoxCount; ++i)
            EXPECT_TRUE(controls[IDC_BOX_BUTTON + i].enabled) << "after click " << picks;
        EXPECT_EQ(controls[IDC_OFFER_LIST].lines.size(), size_t(CallsBy(picksMade)));
        EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "3") > 0, CallsBy(picks + 1) > CallsBy(picks));
        if (picks == 0)
            EXPECT_TRUE(sounds.empty() && controls[IDC_BOX_BUTTON + box].x == 359 &&
                        controls[IDC_BOX_PICTURE + box].y == 431 && ownBoxChosen);
        else if (picks < 21)
            EXPECT_EQ(sounds.size() >= 2 ? sounds[1] : "", std::string(1, kReaction[wasDealt][value]))
                << "value " << value;
        if (CallsBy(picks + 1) > CallsBy(picks))
            offers.push_back(lastOffer);
        if (picks == 21)
            EXPECT_EQ(controls[IDC_WIN_HISTORY].lines.back(), controls[IDC_BANK].text);
        if (picks == 22)
            EXPECT_TRUE(sounds == std::vector<std::string>({"0", "7"}) &&
                        Status() == "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'");
        if (!offerPending)
            continue;
        EXPECT_EQ(Status(), "THE BANKER WISHES TO MAKE A DEAL");
        ClickBox(BoxOf(order.back()));
        EXPECT_EQ(picksMade, picks + 1) << "a box click while the offer waits";
        size_t offered = ops.size();
        EXPECT_TRUE(PumpUntil([] { return controls[IDC_DEAL].enabled && controls[IDC_NO_DEAL].enabled; }));
        EXPECT_LE(Of("tick", offered).size(), 4u);
        EXPECT_EQ(Status(), "PRESS THE DEAL BUTTON OR NO DEAL BUTTON");
        float bank = dealAmount;
        if (int(offers.size()) == plan.dealAt) {
            ClickDeal();
            EXPECT_TRUE(dealt && dealAmount == lastOffer &&
                        controls[IDC_BANK].text == controls[IDC_OFFER_LIST].lines.back());
        } else {
            ClickNoDeal();
            EXPECT_TRUE(!dealt && dealAmount == bank);
        }
        if (quitTaken)
            break;
        EXPECT_FALSE(offerPending || controls[IDC_DEAL].enabled || controls[IDC_NO_DEAL].enabled);
    }
    return offers;
}

TEST(Game, WorkedDealsAndTheBoardANewGameLeaves)
{
    struct Row { UtcTime clock; std::vector<uint32_t> deal; bool again; };
    const Row rows[] = {
        {kMidsummer, {6, 4, 9, 14, 15, 12, 16, 19, 2, 11, 1, 10, 21, 17, 18, 5, 13, 0, 3, 7, 20, 8}, false},
        {kMidsummer, {0, 10, 11, 9, 20, 16, 6, 7, 18, 13, 1, 15, 12, 5, 19, 4, 17, 3, 14, 21, 2, 8}, true},
        {kJanuary, {7, 0, 20, 14, 12, 19, 18, 13, 2, 9, 15, 5, 17, 1, 10, 3, 16, 4, 6, 11, 8, 21}, false},
    };
    for (const Row& row : rows) {
        Reset(row.clock);
        if (row.again)
            ClickNewGame(true);
        for (int i = 0; i < kBoxCount; ++i)
            EXPECT_EQ(boxRecords[i].valueIndex, row.deal[i]) << "box " << i + 1;
    }
    ExpectFreshBoard();
    // A draw of 22 names no amount: it is drawn again, like a taken one.
    rngState = StateBefore(StateBefore(4294967293u));
    NewGame();
    ExpectFreshBoard();
}

TEST(Game, WorkedGamesFromTheChoiceToTheLastBox)
{
    struct Row { UtcTime clock; Plan plan; float first, last; const char *verdict, *bank; bool tie; };
    const Row rows[] = {
        {kMidsummer, {0, {17, 18, 19, 20, 21}, 2}, 1292.4131f, 0.16285534f, kLost, "\xA3" "0.01"},
        {kJanuary, {11, {0, 1, 2, 3, 4}, 13, 6}, 15369.754f, 2618.0339f, kWon, "\xA3" "2600"},
        {kMidsummer, {21, {}, 0}, 0, 62525.004f, kWon, "\xA3" "250000"},
        {kMidsummer, {21, {}, 0, 6}, 0, 62525.004f, kLost, "\xA3" "62500"},
        {kMidsummer, {5, {}, -1, 1}, 15369.754f, 0, kWon, "\xA3" "15300"},
        {kJanuary, {9, {}, -1, 3}, 15369.754f, 0, kWon, nullptr},
        // Equal amounts lose, with or without a deal.
        {kMidsummer, {21, {}, 0}, 0, 62525.004f, kLost, "\xA3" "250000", true},
        {kMidsummer, {21, {}, 0, 6}, 0, 62525.004f, kLost, "\xA3" "250000", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Reset(row.clock);
        Plan toLastCall = row.plan;
        toLastCall.stopAt = 21;
        std::vector<float> offers = Play(toLastCall);
        if (row.tie)
            (dealt ? dealAmount : lastOffer) = kBoxValues[row.plan.own];
        Play(row.plan);
        ASSERT_EQ(offers.size(), 6u);
        EXPECT_TRUE(!row.first || offers[0] == row.first) << offers[0];
        EXPECT_TRUE(!row.last || offers[5] == row.last) << offers[5];
        EXPECT_EQ(LastValue("inform"), row.verdict);
        EXPECT_TRUE(!row.bank || controls[IDC_BANK].text == row.bank) << controls[IDC_BANK].text;
        EXPECT_EQ(controls[IDC_WIN_HISTORY].lines.size(), 1u);
        EXPECT_EQ(picksMade, 23);
    }
}

TEST(Game, SwapAnsweredNoOrYesThenNewGame)
{
    for (bool yes : {false, true}) {
        Reset(kJanuary);
        Play({3, {}, -1, 0, 20});
        std::vector<uint32_t> deal;
        for (const BoxRecord& record : boxRecords)
            deal.push_back(record.valueIndex);
        rngState = 0;   // the next draw of 0 to 3 is 0: the swap is offered
        answers.push_back(yes);
        Play({3, {}, -1, 0, 21});
        EXPECT_EQ(LastValue("ask"), "BANKER ASKS ...|SWAP YOUR BOX?");
        int own = BoxOf(yes ? 21 : 3), other = BoxOf(yes ? 3 : 21);
        EXPECT_TRUE(boxRecords[own].chosen && !boxRecords[other].opened && !boxRecords[other].chosen);
        if (yes)
            std::swap(deal[own], deal[other]);
        for (int i = 0; i < kBoxCount; ++i)
            EXPECT_EQ(boxRecords[i].valueIndex, deal[i]) << "box " << i + 1;
        EXPECT_EQ(controls[IDC_BOX_BUTTON + own].text, std::to_string((yes ? other : own) + 1));
        EXPECT_EQ(controls[IDC_BOX_BUTTON + other].text, std::to_string((yes ? own : other) + 1));
        ClickNewGame(true);
        ExpectFreshBoard();
    }
}

TEST(Game, NewGameAnsweredNoThenYesWhileAnOfferWaits)
{
    Reset();
    Play({0, {}, -1, 0, 5});
    ClickBox(BoxOf(5));
    ASSERT_TRUE(PumpUntil([] { return controls[IDC_DEAL].enabled; }));
    size_t before = ops.size();
    ClickNewGame(false);
    EXPECT_TRUE(ops.size() == before + 1 && offerPending && picksMade == 6 && controls[IDC_NO_DEAL].enabled);
    ClickNewGame(true);
    ExpectFreshBoard();
    ClickBox(4);
    EXPECT_TRUE(boxRecords[4].chosen && picksMade == 1);
}

TEST(Clock, AmbientEveryFourthTickOnceChosenAndPromptsWhileAnOfferWaits)
{
    Reset();
    PumpUntil([] { return Of("tick").size() == 9; });
    size_t chosen = ops.size();
    Play({0, {}, -1, 0, 5});
    ClickBox(BoxOf(5));
    size_t offered = ops.size();
    PumpUntil([offered] { return Of("tick", offered).size() == 13; });
    ClickNoDeal();
    PumpUntil([offered] { return Of("tick", offered).size() == 30; });
    std::vector<int> ambient = TicksOf("async", 2, chosen), prompts = TicksOf("async", 8, offered);
    EXPECT_EQ(TicksOf("async", 2, 0).size(), ambient.size()) << "ambient before the choice";
    EXPECT_EQ(TicksOf("async", 8, 0).size(), prompts.size()) << "prompt before the offer";
    EXPECT_GE(ambient.size(), 8u);
    EXPECT_TRUE(prompts.size() >= 3 && prompts.back() <= 13);
    for (std::vector<int>* at : {&ambient, &prompts})
        for (size_t k = 0; k < at->size(); ++k)
            EXPECT_EQ((*at)[k] - (k ? (*at)[k - 1] : 0), k ? 4 : std::min((*at)[0], 4)) << k;
    size_t mark = ops.size();
    int pumped = pumps;
    EXPECT_TRUE(WaitTicks(0) && pumps == pumped);
    EXPECT_TRUE(WaitTicks(3) && Of("tick", mark).size() == 3 && !busy);
}

// New game, or the window closing, in each kind of pump a game runs.
TEST(Game, NewGameOrCloseInsideEveryKindOfPump)
{
    struct Moment { int stopAt; std::function<bool()> when; bool swap; };
    const Moment moments[] = {
        {2, [] { return Status().rfind("YOU HAVE REVEALED", 0) == 0; }},
        {5, [] { return busy && waitTickCount == 1; }},
        {5, [] { return offerPending == 1; }},
        {5, [] { return Status().rfind("NO DEAL!", 0) == 0; }},
        {20, [] { return picksMade == 21 && offerPending; }},
        {20, nullptr, true},   // the swap question
        {21, nullptr},         // the verdict
        {22, [] { return Status().rfind("THANKYOU", 0) == 0; }},
    };
    for (bool close : {false, true})
        for (const Moment& moment : moments) {
            SCOPED_TRACE(std::to_string(&moment - moments) + (close ? " close" : " new game"));
            Reset();
            Play({0, {}, -1, 0, moment.stopAt});
            static size_t closedAt;
            Event act = [close] { close ? (closedAt = ops.size(), quitPosted = true) : (ClickNewGame(true), false); };
            moment.when ? whens.push_back({moment.when, act}) : inMessageBox.push_back(act);
            if (moment.swap)
                rngState = 0;
            Play({0, {}, -1, 0, moment.stopAt + 1});
            if (close) {
                EXPECT_TRUE(Of("sound", closedAt).empty() && PumpMessages() == 1);
                continue;
            }
            ExpectFreshBoard();
            ClickBox(7);
            EXPECT_TRUE(boxRecords[7].chosen && picksMade == 1);
        }
}
