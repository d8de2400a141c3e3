// Dealing a game: the worked deals, permutations, and the board put back.
#include "tests/unit/game_fixture.h"

namespace {

using fake::Op;

class DealTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake::Reset();
        CaptureFakeLayout();
    }
};

TEST_F(DealTest, WorkedDeals)
{
    struct Row { UtcTime seedTime; std::vector<uint32_t> first; std::vector<uint32_t> second; };
    const Row rows[] = {
        {{2024, 6, 6, 15, 9, 30, 45, 250},
         {6, 4, 9, 14, 15, 12, 16, 19, 2, 11, 1, 10, 21, 17, 18, 5, 13, 0, 3, 7, 20, 8},
         {0, 10, 11, 9, 20, 16, 6, 7, 18, 13, 1, 15, 12, 5, 19, 4, 17, 3, 14, 21, 2, 8}},
        {{2008, 1, 4, 24, 12, 0, 0, 0},
         {7, 0, 20, 14, 12, 19, 18, 13, 2, 9, 15, 5, 17, 1, 10, 3, 16, 4, 6, 11, 8, 21},
         {}},
    };
    for (const Row& row : rows) {
        fake::Reset();
        fake::SetUtcClock(row.seedTime);
        NewGame();
        EXPECT_EQ(DealtIndices(), row.first) << "seeded in " << row.seedTime.year;
        if (row.second.empty())
            continue;
        NewGame();
        EXPECT_EQ(DealtIndices(), row.second) << "second deal, seeded in " << row.seedTime.year;
    }
}

// A 22 from the short last slice must never become a value index.
TEST_F(DealTest, DrawOfTwentyTwoIsDrawnAgain)
{
    NewGame();
    for (uint32_t state : {4294967292u, 4294967295u}) {
        // The state before the deal's first draw; the warm-up steps once first.
        uint32_t inverse = 12345u;
        for (int i = 0; i < 5; ++i)
            inverse *= 2u - 12345u * inverse;
        uint32_t beforeFirstDraw = (state - 38289u) * inverse;
        rngState = (beforeFirstDraw - 38289u) * inverse;
        NewGame();
        EXPECT_TRUE(DealIsPermutation()) << "first draw state " << state;
    }
}

TEST_F(DealTest, EveryDealIsAPermutation)
{
    uint32_t seed = static_cast<uint32_t>(::testing::UnitTest::GetInstance()->random_seed());
    RecordProperty("seed", static_cast<int>(seed));
    NewGame();
    rngState = seed;
    for (int game = 0; game < 2000; ++game) {
        NewGame();
        ASSERT_TRUE(DealIsPermutation()) << "game " << game << " after seed " << seed
                                         << " (replay with --gtest_random_seed=" << seed << ")";
    }
}

TEST_F(DealTest, NewGameResetsTheBoardInOrder)
{
    NewGame();
    // A game in progress: two captions swapped, buttons and offer buttons
    // enabled, offers listed, a win recorded, a box chosen and one opened.
    picksMade = 9;
    offerPending = 1;
    dealt = 1;
    dealAmount = 5.0f;
    lastOffer = 1234.0f;
    busy = 1;
    ownBoxChosen = 1;
    boxRecords[3].chosen = 1;
    boxRecords[5].opened = 1;
    SetControlText(IDC_BOX_BUTTON + 3, "17");
    SetControlText(IDC_BOX_BUTTON + 16, "4");
    EnableControl(IDC_DEAL, true);
    EnableControl(IDC_NO_DEAL, true);
    AppendListLine(IDC_OFFER_LIST, "\xA3" "1200");
    AppendListLine(IDC_WIN_HISTORY, "\xA3" "5");
    fake::SetTicking(false);
    fake::ClearRecord();

    NewGame();

    std::vector<Op> expected;
    for (int i = 0; i < kBoxCount; ++i) {
        expected.push_back({"move", IDC_BOARD_VALUE + i, std::to_string(BoardX(i)) + ",30"});
        expected.push_back({"move", IDC_BOX_BUTTON + i, std::to_string(ButtonX(i)) + ",20"});
        expected.push_back({"repaint", IDC_BOX_BUTTON + i, ""});
        expected.push_back({"move", IDC_BOX_PICTURE + i, std::to_string(PictureX(i)) + ",10"});
        expected.push_back({"picture", IDC_BOX_PICTURE + i, std::to_string(IDB_CLOSED_BOX)});
        expected.push_back({"text", IDC_BOX_BUTTON + i, std::to_string(i + 1)});
        expected.push_back({"enable", IDC_BOX_BUTTON + i, "1"});
    }
    expected.push_back({"text", IDC_OFFER, "\xA3"});
    expected.push_back({"text", IDC_BANK, "\xA3" "0.00"});
    expected.push_back({"enable", IDC_DEAL, "0"});
    expected.push_back({"enable", IDC_NO_DEAL, "0"});
    expected.push_back({"empty", IDC_OFFER_LIST, ""});
    expected.push_back({"status", IDC_STATUS, "CHOOSE YOUR OWN BOX"});
    expected.push_back({"sound", SOUND_TITLE, ""});
    EXPECT_EQ(fake::Record(), expected);

    EXPECT_EQ(picksMade, 0);
    EXPECT_EQ(offerPending, 0);
    EXPECT_EQ(dealt, 0);
    EXPECT_EQ(dealAmount, 0.0f);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(ownBoxChosen, 0);
    EXPECT_EQ(waitTickCount + ambientTickCount + promptTickCount, 0);
    EXPECT_EQ(lastOffer, 1234.0f);
    EXPECT_EQ(fake::ControlState(IDC_WIN_HISTORY).lines.size(), 1u);
    for (const BoxRecord& record : boxRecords)
        EXPECT_EQ(record.opened + record.chosen, 0);
}

TEST_F(DealTest, NewGameInsideANewGamesPumpPlaysTheTitleOnce)
{
    NewGame();
    fake::ClearRecord();
    fake::AtNextPump([] { fake::ClickNewGame(true); });
    NewGame();
    EXPECT_EQ(fake::RecordOf("sound").size(), 1u);
    EXPECT_TRUE(DealIsPermutation());
    EXPECT_EQ(fake::Status(), "CHOOSE YOUR OWN BOX");
}

TEST_F(DealTest, AnsweringNoChangesNothing)
{
    NewGame();
    std::vector<uint32_t> deal = DealtIndices();
    uint32_t state = rngState;
    fake::ClearRecord();
    fake::ClickNewGame(false);
    EXPECT_EQ(fake::RecordWithout({"ask"}), std::vector<Op>{});
    EXPECT_EQ(fake::RecordOf("ask").at(0).value, "NEW GAME|START AGAIN?");
    EXPECT_EQ(DealtIndices(), deal);
    EXPECT_EQ(rngState, state);
}

TEST_F(DealTest, NewGameWhileAnOfferWaitsFreesTheBoxes)
{
    NewGame();
    DealInOrder();
    picksMade = 6;
    offerPending = 1;
    EnableControl(IDC_DEAL, true);
    fake::ClickNewGame(true);
    EXPECT_EQ(offerPending, 0);
    EXPECT_FALSE(fake::ControlState(IDC_DEAL).enabled);
    fake::ClickBox(4);
    EXPECT_EQ(boxRecords[4].chosen, 1);
}

}  // namespace
