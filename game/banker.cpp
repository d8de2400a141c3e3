// The banker: his calls, the offer, DEAL, NO DEAL and the swap.
#include "game/banker.h"

#include <cmath>
#include <cstdio>

#include "game/clock.h"
#include "game/sequence.h"
#include "game/state.h"
#include "numerics/money.h"
#include "numerics/random.h"
#include "resources/resource.h"
#include "ui/platform.h"

// Three rings with waits between; the call's and the swap chance's drama.
static bool RingThreeTimes(int32_t game)
{
    PlaySoundSync(SOUND_RING);
    if (!WaitTicks(3) || PumpAndCheckGone(game))
        return false;
    PlaySoundSync(SOUND_RING);
    if (!WaitTicks(3) || PumpAndCheckGone(game))
        return false;
    PlaySoundSync(SOUND_RING);
    return true;
}

static bool OfferSwap(int32_t game)
{
    SetStatus("THE BANKER WILL ALLOW YOU TO SWAP YOUR BOX");
    if (!RingThreeTimes(game))
        return false;
    bool yes = AskYesNo("SWAP YOUR BOX?", "BANKER ASKS ...");
    // The question has no owner window: a NEW GAME or a close may have been
    // handled while it was open, and the answer then belongs to no game.
    if (PumpAndCheckGone(game))
        return false;
    if (yes)
        SwapOwnBox();
    return true;
}

bool BankerCall(int32_t game)
{
    SetStatus(dealt ? "THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU"
                    : "THE BANKER WISHES TO MAKE A DEAL");
    if (!RingThreeTimes(game))
        return false;
    PlaySoundSync(SOUND_RING_END);
    if (!WaitTicks(3) || PumpAndCheckGone(game))
        return false;

    if (!dealt) {
        offerPending = 1;
        MakeBankerOffer();
    } else {
        MakeBankerOffer();
        SetStatus("BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES");
    }
    if (PumpAndCheckGone(game))
        return false;
    PlaySoundSync(SOUND_REVEAL);

    if (picksMade != 21)
        return true;
    // The last call: the swap chance comes only after the answer.
    while (offerPending)
        if (PumpAndCheckGone(game))
            return false;
    if (RandomInRange(0, 3) == 0)
        return OfferSwap(game);
    return true;
}

void MakeBankerOffer()
{
    double sum = 0.0;
    int count = 0;
    for (const BoxRecord& record : boxRecords) {
        if (record.opened)
            continue;
        sum += std::sqrt(static_cast<double>(kBoxValues[record.valueIndex]));
        ++count;
    }
    if (count == 0)
        return;
    double mean = sum / count;
    lastOffer = static_cast<float>(std::pow(mean, 2.0));
    SetControlText(IDC_OFFER, FormatMoney(lastOffer));
    AppendListLine(IDC_OFFER_LIST, FormatMoney(lastOffer));
}

void SwapOwnBox()
{
    int own = -1, other = -1;
    int chosenCount = 0, otherCount = 0;
    for (int i = 0; i < kBoxCount; ++i) {
        if (boxRecords[i].chosen) {
            own = i;
            ++chosenCount;
        } else if (!boxRecords[i].opened) {
            other = i;
            ++otherCount;
        }
    }
    // Only the end of a game, with the own box and one other left, has a swap.
    if (chosenCount != 1 || otherCount != 1 || boxRecords[own].opened)
        return;

    char ownText[16], otherText[16];
    snprintf(ownText, sizeof ownText, "%d", own + 1);
    snprintf(otherText, sizeof otherText, "%d", other + 1);
    SetControlText(IDC_BOX_BUTTON + own, otherText);
    SetControlText(IDC_BOX_BUTTON + other, ownText);
    uint32_t v = boxRecords[own].valueIndex;
    boxRecords[own].valueIndex = boxRecords[other].valueIndex;
    boxRecords[other].valueIndex = v;
}

// An answer that finds no offer waiting (a second click already queued behind
// the first answer, or one after a new game) is ignored: the first answer
// stands, and nothing stale is banked.
void AnswerDeal()
{
    if (!offerPending)
        return;
    int32_t game = gameNumber;
    SetControlText(IDC_OFFER, "");
    dealAmount = lastOffer;
    SetControlText(IDC_BANK, FormatMoney(dealAmount));
    offerPending = 0;
    dealt = 1;
    SetStatus("DEAL! NOW CARRY ON AND OPEN THE BOXES");
    if (PumpAndCheckGone(game))
        return;
    EnableControl(IDC_DEAL, false);
    EnableControl(IDC_NO_DEAL, false);
    PlaySoundSync(SOUND_GOOD);
}

void AnswerNoDeal()
{
    if (!offerPending)
        return;
    int32_t game = gameNumber;
    SetControlText(IDC_OFFER, "");
    offerPending = 0;
    SetStatus("NO DEAL! NOW CARRY ON AND OPEN THE BOXES");
    if (PumpAndCheckGone(game))
        return;
    EnableControl(IDC_DEAL, false);
    EnableControl(IDC_NO_DEAL, false);
    PlaySoundSync(SOUND_GOOD);
}
