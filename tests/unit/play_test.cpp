// Playing a game: choosing, revealing, reactions, the banker, the verdict, the clock.
#include "tests/unit/game_fixture.h"

#include <cmath>
#include <functional>

namespace {

using fake::Op;

std::vector<int> SoundsPlayed()
{
    std::vector<int> sounds;
    for (const Op& op : fake::RecordOf("sound"))
        sounds.push_back(op.control);
    return sounds;
}

TEST_F(GameTest, ChoosingTheOwnBox)
{
    fake::ClickBox(6);
    EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + 6).x, 359);
    EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + 6).y, 452);
    EXPECT_EQ(fake::ControlState(IDC_BOX_PICTURE + 6).x, 339);
    EXPECT_EQ(fake::ControlState(IDC_BOX_PICTURE + 6).y, 431);
    EXPECT_EQ(picksMade, 1);
    EXPECT_EQ(ownBoxChosen, 1);
    EXPECT_EQ(boxRecords[6].chosen, 1);
    EXPECT_EQ(fake::RecordOf("sound").size(), 0u);
    EXPECT_EQ(fake::RecordOf("status").at(0).value, "YOU HAVE CHOSEN BOX '7'");
    EXPECT_EQ(fake::Status(), "OPEN A BOX");
    for (int i = 0; i < kBoxCount; ++i)
        EXPECT_TRUE(fake::ControlState(IDC_BOX_BUTTON + i).enabled) << i;
}

TEST_F(GameTest, RevealingABox)
{
    fake::ClickBox(0);
    fake::ClearRecord();
    fake::ClickBox(21);   // £250,000
    EXPECT_EQ(fake::ControlState(IDC_BOARD_VALUE + 21).x, 16384);
    EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + 21).x, 16384);
    EXPECT_EQ(fake::ControlState(IDC_BOX_PICTURE + 21).picture, IDB_OPEN_BOX_BASE + 21);
    EXPECT_EQ(fake::RecordOf("status").at(0).value, "YOU HAVE REVEALED '250000.00'");
    EXPECT_EQ(SoundsPlayed(), (std::vector<int>{SOUND_REVEAL, SOUND_BAD}));
    EXPECT_EQ(fake::ControlState(IDC_OFFER).text, "");
    EXPECT_EQ(picksMade, 2);

    fake::ClearRecord();
    fake::ClickBox(1);   // value index 1 is 10p
    EXPECT_EQ(fake::RecordOf("status").at(0).value, "YOU HAVE REVEALED '0.10'");
}

TEST(Reactions, ByBandAndDeal)
{
    struct Row { int valueIndex; int before; int after; };
    const Row rows[] = {
        {0, SOUND_GOOD, SOUND_BAD},        {8, SOUND_GOOD, SOUND_BAD},
        {9, SOUND_GOOD_MILD, SOUND_BAD_MILD}, {14, SOUND_GOOD_MILD, SOUND_BAD_MILD},
        {15, SOUND_BAD_MILD, SOUND_GOOD_MILD}, {17, SOUND_BAD_MILD, SOUND_GOOD_MILD},
        {18, SOUND_BAD, SOUND_GOOD},       {21, SOUND_BAD, SOUND_GOOD},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ReactionSound(row.valueIndex, false), row.before) << "index " << row.valueIndex;
        EXPECT_EQ(ReactionSound(row.valueIndex, true), row.after) << "index " << row.valueIndex;
    }
}

TEST_F(GameTest, RefusedClicks)
{
    fake::ClickBox(3);
    SetControlText(IDC_OFFER, "x");
    fake::ClearRecord();
    fake::ClickBox(3);   // the own box before the end
    EXPECT_EQ(fake::Record(), (std::vector<Op>{{"focus", IDC_OFFER_LIST, ""}, {"text", IDC_OFFER, ""}}));

    offerPending = 1;
    fake::ClearRecord();
    fake::ClickBox(5);
    EXPECT_EQ(fake::Record(), (std::vector<Op>{{"focus", IDC_OFFER_LIST, ""}}));
    offerPending = 0;

    busy = 1;
    fake::ClearRecord();
    fake::ClickBox(5);
    EXPECT_EQ(fake::Record(), (std::vector<Op>{{"focus", IDC_OFFER_LIST, ""}}));
    busy = 0;

    fake::ClickBox(5);
    fake::ClearRecord();
    fake::ClickBox(5);   // already opened: its click was queued before it went
    EXPECT_EQ(picksMade, 2);
    EXPECT_EQ(fake::RecordOf("sound").size(), 0u);
    for (int id : {9999 - IDC_BOX_BUTTON, -1, 22, 1000}) {
        fake::ClickBox(id);
        EXPECT_EQ(picksMade, 2) << id;
    }
}

TEST_F(GameTest, BankerCallsAtItsCountsOnly)
{
    std::vector<int> callsAt;
    fake::ClickBox(0);
    for (int i = 1; i < kBoxCount && picksMade < 21; ++i) {
        size_t before = fake::RecordOf("append").size();
        if (picksMade == 20)
            fake::When([] { return fake::ControlState(IDC_NO_DEAL).enabled; }, fake::ClickNoDeal);
        fake::ClickBox(i);
        if (fake::RecordOf("append").size() > before)
            callsAt.push_back(picksMade);
        if (offerPending) {
            EXPECT_EQ(fake::Status(), "THE BANKER WISHES TO MAKE A DEAL") << picksMade;
            ASSERT_TRUE(fake::PumpUntil([] { return fake::ControlState(IDC_DEAL).enabled; }));
            EXPECT_EQ(fake::Status(), "PRESS THE DEAL BUTTON OR NO DEAL BUTTON");
            fake::ClickNoDeal();
        }
    }
    EXPECT_EQ(callsAt, (std::vector<int>{6, 9, 12, 15, 18, 21}));
    EXPECT_EQ(fake::Status(), "OPEN YOUR BOX");
}

TEST_F(GameTest, WorkedOffers)
{
    struct Row { std::vector<int> unopened; float offer; const char* shown; };
    const Row rows[] = {
        {{0, 21}, 62525.004f, "\xA3" "62500"},
        {{11, 13}, 2618.0339f, "\xA3" "2600"},
        {{0, 2}, 0.16285534f, "\xA3" "0.16"},
        {{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}, 15369.754f, "\xA3" "15300"},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 1292.4131f, "\xA3" "1200"},
    };
    for (const Row& row : rows) {
        for (int i = 0; i < kBoxCount; ++i)
            boxRecords[i].opened = 1;
        for (int i : row.unopened)
            boxRecords[i].opened = 0;
        fake::ClearRecord();
        MakeBankerOffer();
        EXPECT_EQ(lastOffer, row.offer) << row.shown;
        EXPECT_EQ(fake::Record(), (std::vector<Op>{{"text", IDC_OFFER, row.shown},
                                                   {"append", IDC_OFFER_LIST, row.shown}}));
    }
}

TEST_F(GameTest, DealBanksTheOfferAndLaterCallsOnlySayWhatHeWouldHaveOffered)
{
    PlayTo(6, 6);
    EXPECT_EQ(dealt, 1);
    EXPECT_EQ(dealAmount, lastOffer);
    EXPECT_EQ(fake::ControlState(IDC_BANK).text, FormatMoney(lastOffer));
    EXPECT_EQ(fake::Status(), "DEAL! NOW CARRY ON AND OPEN THE BOXES");
    EXPECT_FALSE(fake::ControlState(IDC_DEAL).enabled);
    float banked = dealAmount;

    fake::ClearRecord();
    PlayTo(9);
    EXPECT_EQ(offerPending, 0);
    EXPECT_EQ(fake::ControlState(IDC_OFFER_LIST).lines.size(), 2u);
    EXPECT_EQ(fake::Status(), "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES");
    bool saidWouldHave = false;
    for (const Op& op : fake::RecordOf("status"))
        saidWouldHave |= op.value == "THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU";
    EXPECT_TRUE(saidWouldHave);
    EXPECT_EQ(dealAmount, banked);
    // No prompt ever comes after a deal.
    fake::PumpUntil([] { return false; }, 10000);
    EXPECT_FALSE(fake::ControlState(IDC_DEAL).enabled);
    for (const Op& op : fake::RecordOf("async"))
        EXPECT_NE(op.control, SOUND_PROMPT);
}

TEST_F(GameTest, NoDealKeepsTheBank)
{
    PlayTo(6);
    EXPECT_EQ(dealt, 0);
    EXPECT_EQ(dealAmount, 0.0f);
    EXPECT_EQ(fake::ControlState(IDC_BANK).text, "\xA3" "0.00");
    EXPECT_EQ(fake::Status(), "NO DEAL! NOW CARRY ON AND OPEN THE BOXES");
}

TEST_F(GameTest, AnswerWithoutAWaitingOfferIsIgnored)
{
    PlayTo(6);
    float offer = lastOffer;
    lastOffer = 99.0f;
    AnswerDeal();   // a second click queued behind NO DEAL
    EXPECT_EQ(dealt, 0);
    EXPECT_EQ(dealAmount, 0.0f);
    lastOffer = offer;
    fake::ClickNewGame(true);
    AnswerDeal();
    AnswerNoDeal();
    EXPECT_EQ(dealt, 0);
    EXPECT_EQ(fake::ControlState(IDC_BANK).text, "\xA3" "0.00");
}

TEST_F(GameTest, LastCallWaitsForTheAnswerThenTheSwapChance)
{
    // The swap chance needs the generator's next draw to be 0.
    PlayTo(20);
    fake::ClearRecord();
    rngState = 0;   // steps to 38289, well inside the first slice
    fake::When([] { return fake::ControlState(IDC_NO_DEAL).enabled; }, fake::ClickNoDeal);
    fake::AnswerNext(true);
    int other = -1;
    for (int i = 0; i < kBoxCount; ++i)
        if (!boxRecords[i].opened && !boxRecords[i].chosen)
            other = i;
    ASSERT_GE(other, 0);
    int lastClick = -1;
    for (int i = 0; i < kBoxCount; ++i)
        if (i != other && !boxRecords[i].opened && !boxRecords[i].chosen)
            lastClick = i;
    // Two other boxes are left before the 21st click; open one.
    if (lastClick < 0) {
        lastClick = other;
        other = -1;
    }
    fake::ClickBox(lastClick);
    EXPECT_EQ(picksMade, 21);
    std::vector<std::string> statuses;
    for (const Op& op : fake::RecordOf("status"))
        statuses.push_back(op.value);
    auto at = [&](const std::string& text) {
        return std::find(statuses.begin(), statuses.end(), text) - statuses.begin();
    };
    EXPECT_LT(at("NO DEAL! NOW CARRY ON AND OPEN THE BOXES"),
              at("THE BANKER WILL ALLOW YOU TO SWAP YOUR BOX"));
    EXPECT_EQ(fake::RecordOf("ask").at(0).value, "BANKER ASKS ...|SWAP YOUR BOX?");
    EXPECT_EQ(fake::Status(), "OPEN YOUR BOX");
    // The own box (box 1) now holds the other box's amount and caption.
    int left = -1;
    for (int i = 1; i < kBoxCount; ++i)
        if (!boxRecords[i].opened)
            left = i;
    EXPECT_EQ(boxRecords[0].valueIndex, static_cast<uint32_t>(left));
    EXPECT_EQ(boxRecords[left].valueIndex, 0u);
    EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + 0).text, std::to_string(left + 1));
    EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + left).text, "1");
}

TEST_F(GameTest, SwapExchangesOnlyTheTwoBoxes)
{
    struct Row { int own; int other; };
    const Row rows[] = {{3, 16}, {0, 21}, {21, 0}, {10, 11}};
    for (const Row& row : rows) {
        fake::Reset();
        CaptureFakeLayout();
        NewGame();
        DealInOrder();
        for (int i = 0; i < kBoxCount; ++i)
            boxRecords[i].opened = i != row.own && i != row.other;
        boxRecords[row.own].chosen = 1;
        std::vector<uint32_t> before = DealtIndices();
        SwapOwnBox();
        std::vector<uint32_t> after = DealtIndices();
        std::swap(before[row.own], before[row.other]);
        EXPECT_EQ(after, before) << "own " << row.own + 1 << " other " << row.other + 1;
        EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + row.own).text, std::to_string(row.other + 1));
        EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + row.other).text, std::to_string(row.own + 1));
    }
}

TEST_F(GameTest, SwapWithoutExactlyOneOwnAndOneOtherBoxDoesNothing)
{
    std::vector<uint32_t> deal = DealtIndices();
    SwapOwnBox();   // no own box
    boxRecords[2].chosen = 1;
    SwapOwnBox();   // twenty other boxes unopened
    for (int i = 0; i < kBoxCount; ++i)
        boxRecords[i].opened = i != 2;
    SwapOwnBox();   // no other box left
    EXPECT_EQ(DealtIndices(), deal);
    EXPECT_EQ(fake::RecordOf("text").size(), 0u);
}

// The verdict: (own box's value index, accepted offer or 0, last offer, won).
TEST_F(GameTest, Verdicts)
{
    struct Row { int ownIndex; bool deal; float offer; bool won; const char* line; };
    const Row rows[] = {
        {21, false, 62525.004f, true, "\xA3" "250000"},
        {0, false, 62525.004f, false, "\xA3" "0.01"},
        {21, true, 62525.004f, false, "\xA3" "62500"},
        {18, true, 62525.004f, true, "\xA3" "62500"},
        {15, false, 15000.0f, false, "\xA3" "15000"},   // equal amounts lose
        {15, true, 15000.0f, false, "\xA3" "15000"},
    };
    int games = 0;
    for (const Row& row : rows) {
        fake::ClickNewGame(true);
        DealInOrder();
        std::swap(boxRecords[0].valueIndex, boxRecords[row.ownIndex].valueIndex);
        fake::ClickBox(0);
        for (int i = 1; i < kBoxCount - 1; ++i)
            boxRecords[i].opened = 1;
        picksMade = 21;
        dealt = row.deal;
        dealAmount = row.deal ? row.offer : 0.0f;
        lastOffer = row.offer;
        fake::ClearRecord();
        fake::ClickBox(0);
        ++games;
        EXPECT_EQ(SoundsPlayed(), (std::vector<int>{SOUND_REVEAL, row.won ? SOUND_GOOD : SOUND_BAD}))
            << row.line;
        std::string expected = row.won ? "CONGRATULATIONS|YOU TRELVASK"
                                       : "UNLUCKY|YOU DID NOT TRELVASK\n\nTHE BANKER WON";
        EXPECT_EQ(fake::RecordOf("inform").at(0).value, expected) << row.line;
        EXPECT_EQ(fake::ControlState(IDC_BANK).text, row.line);
        ASSERT_EQ(fake::ControlState(IDC_WIN_HISTORY).lines.size(), static_cast<size_t>(games));
        EXPECT_EQ(fake::ControlState(IDC_WIN_HISTORY).lines.back(), row.line);
        EXPECT_EQ(fake::Status(), "OPEN THE LAST BOX");
    }
}

TEST_F(GameTest, LastBoxClosesTheGame)
{
    PlayTo(21);
    fake::ClickBox(0);
    int last = -1;
    for (int i = 0; i < kBoxCount; ++i)
        if (!boxRecords[i].opened)
            last = i;
    fake::ClearRecord();
    fake::ClickBox(last);
    EXPECT_EQ(SoundsPlayed(), (std::vector<int>{SOUND_REVEAL, SOUND_TITLE}));
    EXPECT_EQ(fake::RecordOf("inform").size(), 0u);
    EXPECT_EQ(fake::Status(), "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'");
    EXPECT_EQ(picksMade, 23);
    EXPECT_EQ(fake::ControlState(IDC_WIN_HISTORY).lines.size(), 1u);
    fake::ClickBox(last);
    EXPECT_EQ(picksMade, 23);
}

TEST_F(GameTest, AmbientSoundEveryFourthTickOnceABoxIsChosen)
{
    fake::PumpUntil([] { return false; }, 9000);
    EXPECT_EQ(fake::RecordOf("async").size(), 0u);
    fake::ClickBox(0);
    fake::ClearRecord();
    fake::PumpUntil([] { return fake::RecordOf("tick").size() >= 12; });
    std::vector<int> ambientTicks;
    int tick = 0;
    for (const Op& op : fake::Record()) {
        tick += op.kind == "tick";
        if (op.kind == "async" && op.control == SOUND_AMBIENT)
            ambientTicks.push_back(tick);
    }
    ASSERT_EQ(ambientTicks.size(), 3u);
    EXPECT_LE(ambientTicks[0], 4);
    EXPECT_EQ(ambientTicks[1] - ambientTicks[0], 4);
    EXPECT_EQ(ambientTicks[2] - ambientTicks[1], 4);
}

TEST_F(GameTest, PromptOnlyAtABankerCountWithALiveOffer)
{
    struct Row { int picks; int pending; int dealtFlag; bool prompts; };
    const Row rows[] = {
        {6, 1, 0, true}, {21, 1, 0, true}, {6, 1, 1, false}, {6, 0, 0, false},
        {7, 1, 0, false}, {0, 1, 0, false},
    };
    for (const Row& row : rows) {
        fake::Reset();
        picksMade = row.picks;
        offerPending = row.pending;
        dealt = row.dealtFlag;
        int countBefore = promptTickCount;
        for (int tick = 0; tick < 4; ++tick)
            OnSecondTimer();
        bool prompted = fake::ControlState(IDC_DEAL).enabled && fake::ControlState(IDC_NO_DEAL).enabled;
        EXPECT_EQ(prompted, row.prompts) << "picks " << row.picks;
        EXPECT_EQ(fake::RecordOf("async").size(), row.prompts ? 1u : 0u) << "picks " << row.picks;
        if (row.prompts) {
            EXPECT_EQ(fake::Status(), "PRESS THE DEAL BUTTON OR NO DEAL BUTTON");
        }
        if (!IsBankerCount(row.picks)) {
            EXPECT_EQ(promptTickCount, countBefore) << "picks " << row.picks;
        }
    }
}

TEST_F(GameTest, PromptRepeatsEveryFourTicksWhileTheOfferWaits)
{
    PlayTo(5);
    fake::ClickBox(kBoxCount - 1);
    ASSERT_EQ(offerPending, 1);
    fake::ClearRecord();
    fake::PumpUntil([] { return fake::RecordOf("tick").size() >= 12; });
    EXPECT_EQ(fake::RecordOf("async").size() >= 3u, true);
    int prompts = 0;
    for (const Op& op : fake::RecordOf("async"))
        prompts += op.control == SOUND_PROMPT;
    EXPECT_EQ(prompts, 3);
}

// Ticks that fall due while a sound blocks are handled as one at the next
// pump, so a wait begun right after a long sound is a second shorter.
TEST_F(GameTest, WaitTicksCountsHandledTicks)
{
    struct Row { bool afterLongSound; long long shortest; long long longest; };
    const Row rows[] = {{false, 2000, 3001}, {true, 1000, 2001}};
    for (const Row& row : rows) {
        fake::PumpUntil([] { return fake::Now() % 1000 == 500; });
        if (row.afterLongSound)
            PlaySoundSync(SOUND_RING);
        fake::ClearRecord();
        long long start = fake::Now();
        EXPECT_TRUE(WaitTicks(3));
        EXPECT_EQ(fake::RecordOf("tick").size(), 3u);
        EXPECT_EQ(busy, 0);
        EXPECT_GE(fake::Now() - start, row.shortest) << row.afterLongSound;
        EXPECT_LE(fake::Now() - start, row.longest) << row.afterLongSound;
    }

    int pumps = fake::PumpCount();
    EXPECT_TRUE(WaitTicks(0));
    EXPECT_EQ(fake::PumpCount(), pumps);
    // Inside a click the wait leaves box clicks refused until the click ends.
    busy = 1;
    EXPECT_TRUE(WaitTicks(2));
    EXPECT_EQ(busy, 1);
}

// A second box click that reaches the game inside a running click (in the
// reveal's pump, or between the banker's waits) must be refused, or the
// game counts a pick without a call and locks up with an offer no prompt
// will ever ask about.
TEST_F(GameTest, BoxClickInsideARunningClickIsRefused)
{
    struct Row { const char* when; std::function<bool()> moment; };
    const Row rows[] = {
        {"in the reveal's pump", [] { return fake::Status().rfind("YOU HAVE REVEALED", 0) == 0; }},
        {"between the banker's waits",
         [] { return waitTickCount >= 3 && fake::Status() == "THE BANKER WISHES TO MAKE A DEAL"; }},
    };
    for (const Row& row : rows) {
        SetUp();
        for (int i = 0; i < 5; ++i)
            fake::ClickBox(i);
        fake::When(row.moment, [] { OpenBox(10); });
        fake::ClickBox(5);
        EXPECT_EQ(picksMade, 6) << row.when;
        EXPECT_EQ(boxRecords[10].opened, 0) << row.when;
        EXPECT_EQ(offerPending, 1) << row.when;
        EXPECT_TRUE(fake::PumpUntil([] { return fake::ControlState(IDC_DEAL).enabled; })) << row.when;
    }
}

}  // namespace
