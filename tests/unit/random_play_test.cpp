// A random player against the fake: the rules' invariants hold at every pump.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "game/banker.h"
#include "tests/unit/fake.h"

using namespace fake;

// QUORVANT_PLAY_SEED=n replays the run that printed it.
TEST(RandomPlay, InvariantsHoldAtEveryPump)
{
    const char* given = getenv("QUORVANT_PLAY_SEED");
    static unsigned seed = given ? unsigned(strtoul(given, nullptr, 10)) : std::random_device{}();
    printf("QUORVANT_PLAY_SEED=%u\n", seed);
    SCOPED_TRACE("QUORVANT_PLAY_SEED=" + std::to_string(seed));
    static std::mt19937 random(seed);
    Reset({2024, 1, 0, 1, 0, 0, 0, uint16_t(seed % 1000)});
    everyPump = [] {
        int chosen = 0, opened = 0, calls = 0;
        for (int count : {6, 9, 12, 15, 18, 21})
            calls += picksMade >= count;
        for (int i = 0; i < kBoxCount; ++i) {
            chosen += boxRecords[i].chosen, opened += boxRecords[i].opened;
            ASSERT_EQ(std::count_if(boxRecords, boxRecords + kBoxCount,
                                    [i](const BoxRecord& r) { return r.valueIndex == uint32_t(i); }), 1);
            ASSERT_FALSE(boxRecords[i].chosen && boxRecords[i].opened && picksMade < 21) << i;
        }
        size_t lines = controls[IDC_OFFER_LIST].lines.size();
        ASSERT_TRUE(chosen <= 1 && (opened == std::max(picksMade - 1, 0) || opened == picksMade));
        ASSERT_TRUE((lines == size_t(calls) || lines + 1 == size_t(calls)) && !(dealt && offerPending));
        if (picksMade == 21 && controls[IDC_DEAL].enabled && random() % 2)   // the last call waits
            random() % 2 ? ClickDeal() : ClickNoDeal();
    };
    for (int action = 0; action < 400 && !HasFatalFailure(); ++action) {
        switch (random() % 8) {
        case 0: ClickNewGame(random() % 16 == 0); break;
        case 1: ClickDeal(); break;
        case 2: ClickNoDeal(); break;
        case 3: PumpUntil([] { return false; }, int(random() % 5000)); break;
        default: ClickBox(int(random() % kBoxCount));
        }
        ASSERT_FALSE(busy) << "after action " << action;
    }
    everyPump = nullptr;
}
