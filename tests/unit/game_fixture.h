// Shared set-up for the rule tests: a captured layout, a fresh game, and a
// few moves a player makes, all against the fake window.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/banker.h"
#include "game/boxes.h"
#include "game/clock.h"
#include "game/state.h"
#include "numerics/money.h"
#include "numerics/random.h"
#include "resources/resource.h"
#include "tests/unit/fake_platform.h"

// Distinct places, as the layout capture would record them.
inline int PictureX(int i) { return 100 + i; }
inline int ButtonX(int i) { return 200 + i; }
inline int BoardX(int i) { return 300 + i; }

inline void CaptureFakeLayout()
{
    for (int i = 0; i < kBoxCount; ++i) {
        boxRecords[i].pictureX = PictureX(i);
        boxRecords[i].pictureY = 10;
        boxRecords[i].buttonX = ButtonX(i);
        boxRecords[i].buttonY = 20;
        boxRecords[i].boardX = BoardX(i);
        boxRecords[i].boardY = 30;
    }
}

// Box i holds value index i: box 22 holds the jackpot.
inline void DealInOrder()
{
    for (int i = 0; i < kBoxCount; ++i)
        boxRecords[i].valueIndex = static_cast<uint32_t>(i);
}

inline std::vector<uint32_t> DealtIndices()
{
    std::vector<uint32_t> indices;
    for (const BoxRecord& record : boxRecords)
        indices.push_back(record.valueIndex);
    return indices;
}

inline bool DealIsPermutation()
{
    std::vector<int> seen(kBoxCount, 0);
    for (const BoxRecord& record : boxRecords) {
        if (record.valueIndex >= static_cast<uint32_t>(kBoxCount))
            return false;
        ++seen[record.valueIndex];
    }
    for (int count : seen)
        if (count != 1)
            return false;
    return true;
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake::Reset();
        CaptureFakeLayout();
        NewGame();
        DealInOrder();
        fake::ClearRecord();
    }

    // Answers every live offer with NO DEAL as soon as the prompt allows it.
    static void AnswerOffersWithNoDeal()
    {
        if (offerPending) {
            ASSERT_TRUE(fake::PumpUntil([] { return fake::ControlState(IDC_NO_DEAL).enabled; }));
        }
        fake::ClickNoDeal();
    }

    // Opens the other boxes in index order, skipping the own box, until
    // picksMade reaches `picks`; a waiting offer is refused with NO DEAL, or
    // accepted when the count is `dealAt`.
    static void PlayTo(int picks, int dealAt = -1)
    {
        for (int i = 0; i < kBoxCount && picksMade < picks; ++i) {
            if (boxRecords[i].opened || boxRecords[i].chosen)
                continue;
            // The last call waits inside the click for its answer.
            if (picksMade == 20)
                fake::When([] { return fake::ControlState(IDC_NO_DEAL).enabled; },
                           [dealAt] { dealAt == 21 ? fake::ClickDeal() : fake::ClickNoDeal(); });
            fake::ClickBox(i);
            if (offerPending) {
                ASSERT_TRUE(fake::PumpUntil([] { return fake::ControlState(IDC_DEAL).enabled; }));
                if (picksMade == dealAt)
                    fake::ClickDeal();
                else
                    fake::ClickNoDeal();
            }
        }
    }

    static int Count(const std::string& kind, int control)
    {
        int n = 0;
        for (const fake::Op& op : fake::Record())
            n += op.kind == kind && op.control == control;
        return n;
    }
};
