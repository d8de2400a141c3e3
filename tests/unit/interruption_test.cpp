// A NEW GAME or a close arriving inside any pump of a running game: the
// interrupted sequence must end without touching the new game, or let the
// program end, and never wait on for a window that is gone.
#include "tests/unit/game_fixture.h"

#include <set>

namespace {

using fake::Op;

bool interrupted = false;

// A whole game by a player who answers as soon as the buttons allow: box 1
// kept, boxes 2 to 21 opened in order, NO DEAL but at the third call, Yes to
// a swap, then the own box and the last one.
void PlayScriptedGame()
{
    auto answerWhenPrompted = [] {
        fake::PumpUntil([] { return interrupted || fake::ControlState(IDC_DEAL).enabled; });
        if (!interrupted)
            picksMade == 12 ? fake::ClickDeal() : fake::ClickNoDeal();
    };
    fake::ClickBox(0);
    for (int i = 1; i <= 20 && !interrupted; ++i) {
        if (picksMade == 20) {
            rngState = 0;   // the swap chance comes
            fake::AnswerNext(true);
            fake::When([] { return interrupted || fake::ControlState(IDC_NO_DEAL).enabled; },
                       [] { if (!interrupted) fake::ClickNoDeal(); });
        }
        fake::ClickBox(i);
        if (offerPending && !interrupted)
            answerWhenPrompted();
    }
    if (!interrupted)
        fake::ClickBox(0);
    if (!interrupted)
        fake::ClickBox(21);
}

void StartScriptedGame()
{
    fake::Reset();
    CaptureFakeLayout();
    NewGame();
    interrupted = false;
}

// The pumps after which something other than idling happened, and the one
// right after each: every distinct place where a sequence pumps.
std::vector<int> InterestingPumps()
{
    StartScriptedGame();
    int first = fake::PumpCount() + 1;
    PlayScriptedGame();
    EXPECT_EQ(picksMade, 23) << "the scripted game must run to its end";
    const std::vector<size_t>& log = fake::PumpLog();
    std::set<int> pumps;
    for (size_t k = 1; k < log.size(); ++k) {
        if (log[k] != log[k - 1] && static_cast<int>(k) + 1 >= first) {
            pumps.insert(static_cast<int>(k) + 1);
            pumps.insert(static_cast<int>(k) + 2);
        }
    }
    return std::vector<int>(pumps.begin(), pumps.end());
}

void ExpectFreshGame(const std::string& where)
{
    SCOPED_TRACE(where);
    EXPECT_TRUE(DealIsPermutation());
    EXPECT_EQ(picksMade, 0);
    EXPECT_EQ(offerPending, 0);
    EXPECT_EQ(dealt, 0);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(fake::Status(), "CHOOSE YOUR OWN BOX");
    EXPECT_FALSE(fake::ControlState(IDC_DEAL).enabled);
    EXPECT_FALSE(fake::ControlState(IDC_NO_DEAL).enabled);
    EXPECT_TRUE(fake::ControlState(IDC_OFFER_LIST).lines.empty());
    EXPECT_EQ(fake::ControlState(IDC_OFFER).text, "\xA3");
    for (int i = 0; i < kBoxCount; ++i) {
        EXPECT_EQ(boxRecords[i].opened + boxRecords[i].chosen, 0) << "box " << i + 1;
        EXPECT_TRUE(fake::ControlState(IDC_BOX_BUTTON + i).enabled) << "box " << i + 1;
        EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + i).x, ButtonX(i)) << "box " << i + 1;
        EXPECT_EQ(fake::ControlState(IDC_BOX_BUTTON + i).text, std::to_string(i + 1));
        EXPECT_EQ(fake::ControlState(IDC_BOARD_VALUE + i).x, BoardX(i)) << "plate " << i;
    }
    // Its own box can be chosen at once.
    fake::ClickBox(5);
    EXPECT_EQ(boxRecords[5].chosen, 1);
    EXPECT_EQ(picksMade, 1);
    EXPECT_EQ(fake::Status(), "OPEN A BOX");
}

TEST(Interruptions, NewGameAtEveryPumpOfAWholeGame)
{
    std::vector<int> pumps = InterestingPumps();
    ASSERT_GT(pumps.size(), 50u);
    for (int k : pumps) {
        StartScriptedGame();
        int windowsBefore = static_cast<int>(fake::ControlState(IDC_WIN_HISTORY).lines.size());
        fake::AtPump(k, [] {
            interrupted = true;
            fake::ClickNewGame(true);
        });
        PlayScriptedGame();
        if (!interrupted)
            continue;
        // The interrupted click has unwound; let the clock run a while, as the
        // main loop would, to catch a sequence still going in the background.
        fake::PumpUntil([] { return false; }, 9000);
        ExpectFreshGame("NEW GAME at pump " + std::to_string(k));
        EXPECT_LE(static_cast<int>(fake::ControlState(IDC_WIN_HISTORY).lines.size()), windowsBefore + 1);
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(Interruptions, CloseAtEveryPumpOfAWholeGame)
{
    std::vector<int> pumps = InterestingPumps();
    for (int k : pumps) {
        StartScriptedGame();
        fake::AtPump(k, [] {
            interrupted = true;
            fake::Close();
        });
        PlayScriptedGame();
        if (!interrupted)
            continue;
        // Nothing may go on playing or asking once the window has gone.
        size_t closedAt = fake::PumpLog().back();
        for (size_t i = closedAt; i < fake::Record().size(); ++i) {
            const Op& op = fake::Record()[i];
            EXPECT_TRUE(op.kind != "sound" && op.kind != "ask" && op.kind != "inform")
                << "close at pump " << k << ": " << op.kind << " " << op.control << " after the close";
        }
        EXPECT_EQ(fake::PumpCount(), k) << "pumps after the close at pump " << k;
        if (::testing::Test::HasFailure())
            return;
    }
}

// The game's message boxes have no owner: the game window stays usable while
// they are open, and a NEW GAME or a close can come from inside them.
TEST(Interruptions, InsideMessageBoxes)
{
    struct Row { const char* name; bool inVerdict; bool close; };
    const Row rows[] = {
        {"swap question, NEW GAME", false, false},
        {"swap question, close", false, true},
        {"verdict, NEW GAME", true, false},
        {"verdict, close", true, true},
    };
    for (const Row& row : rows) {
        StartScriptedGame();
        DealInOrder();
        fake::ClickBox(0);
        for (int i = 1; picksMade < 20; ++i) {
            fake::ClickBox(i);
            if (offerPending) {
                fake::PumpUntil([] { return fake::ControlState(IDC_DEAL).enabled; });
                fake::ClickNoDeal();
            }
        }
        rngState = 0;   // the swap chance comes
        fake::When([] { return fake::ControlState(IDC_NO_DEAL).enabled; }, fake::ClickNoDeal);
        bool close = row.close;
        auto interrupt = [close] {
            if (close)
                fake::Close();
            else
                fake::ClickNewGame(true);
        };
        if (row.inVerdict) {
            fake::ClickBox(20);
            ASSERT_EQ(picksMade, 21) << row.name;
            fake::InNextMessageBox(interrupt);
            fake::ClickBox(0);
        } else {
            fake::AnswerNext(true);   // Yes to the swap, for a game that is gone
            fake::InNextMessageBox(interrupt);
            fake::ClickBox(20);
        }
        if (row.close) {
            EXPECT_TRUE(fake::Closed()) << row.name;
            EXPECT_EQ(fake::RecordOf("sound").back().control,
                      row.inVerdict ? SOUND_BAD : SOUND_RING) << row.name;
            continue;
        }
        fake::PumpUntil([] { return false; }, 9000);
        EXPECT_EQ(fake::ControlState(IDC_WIN_HISTORY).lines.size(), row.inVerdict ? 1u : 0u)
            << row.name;
        ExpectFreshGame(row.name);
    }
}

TEST(Interruptions, CloseWhileAskedToStartAgain)
{
    StartScriptedGame();
    fake::ClickBox(0);
    std::vector<uint32_t> deal = DealtIndices();
    fake::AnswerNext(true);
    fake::InNextMessageBox(fake::Close);
    NewGameCommand();
    EXPECT_EQ(DealtIndices(), deal);
    EXPECT_EQ(picksMade, 1);
}

}  // namespace
