// Opening boxes: the choice of the own box, reveals, reactions, the verdict and the end of a game.
#include "game/boxes.h"

#include <cstdio>

#include "game/banker.h"
#include "game/sequence.h"
#include "game/state.h"
#include "numerics/money.h"
#include "resources/resource.h"
#include "ui/platform.h"

// The MY BOX frame, and the place out of sight, in client pixels.
const int kOwnPictureX = 339, kOwnPictureY = 431;
const int kOwnButtonX = 359, kOwnButtonY = 452;
const int kOutOfSight = 16384;

static char statusText[1024];

// Before a deal a large amount leaving the board is bad news; after one it
// proves the deal good, so each band's reaction turns into its opposite.
int ReactionSound(int valueIndex, bool dealtAlready)
{
    struct Band { int lowestIndex; int before; int after; };
    static const Band kBands[] = {
        {18, SOUND_BAD, SOUND_GOOD},
        {15, SOUND_BAD_MILD, SOUND_GOOD_MILD},
        {9, SOUND_GOOD_MILD, SOUND_BAD_MILD},
        {0, SOUND_GOOD, SOUND_BAD},
    };
    for (const Band& band : kBands)
        if (valueIndex >= band.lowestIndex)
            return dealtAlready ? band.after : band.before;
    return SOUND_GOOD;
}

static void EnableBoxButtons(bool enabled)
{
    for (int i = 0; i < kBoxCount; ++i)
        EnableControl(IDC_BOX_BUTTON + i, enabled);
}

static void ChooseOwnBox(int i)
{
    MoveControl(IDC_BOX_BUTTON + i, kOwnButtonX, kOwnButtonY);
    MoveControl(IDC_BOX_PICTURE + i, kOwnPictureX, kOwnPictureY);
    RepaintControl(IDC_BOX_BUTTON + i);
    boxRecords[i].chosen = 1;
    snprintf(statusText, sizeof statusText, "YOU HAVE CHOSEN BOX '%d'", i + 1);
    SetStatus(statusText);
    ownBoxChosen = 1;
}

// The own box is open: the player takes the offer accepted earlier, or the
// box's own amount. Returns false when the game is gone meanwhile.
static bool GiveVerdict(uint32_t v, int32_t game)
{
    if (!dealt)
        dealAmount = kBoxValues[v];
    SetControlText(IDC_BANK, FormatMoney(dealAmount));
    AppendListLine(IDC_WIN_HISTORY, FormatMoney(dealAmount));

    // Equal amounts count as a loss: the player must beat the banker.
    bool won = dealt ? dealAmount > kBoxValues[v] : dealAmount > lastOffer;
    if (won) {
        PlaySoundSync(SOUND_GOOD);
        Inform("YOU TRELVASK", "CONGRATULATIONS");
    } else {
        PlaySoundSync(SOUND_BAD);
        Inform("YOU DID NOT TRELVASK\n\nTHE BANKER WON", "UNLUCKY");
    }
    // The message box's own loop may have dispatched a NEW GAME or a close.
    return !PumpAndCheckGone(game);
}

// Returns false when the game is gone before the reveal's sounds are done.
static bool Reveal(int i, int32_t game)
{
    uint32_t v = boxRecords[i].valueIndex;
    MoveControl(IDC_BOARD_VALUE + static_cast<int>(v), kOutOfSight, kOutOfSight);
    MoveControl(IDC_BOX_BUTTON + i, kOutOfSight, kOutOfSight);
    SetPicture(IDC_BOX_PICTURE + i, IDB_OPEN_BOX_BASE + static_cast<int>(v));
    RepaintControl(IDC_BOX_PICTURE + i);
    boxRecords[i].opened = 1;
    snprintf(statusText, sizeof statusText, "YOU HAVE REVEALED '%0.2f'",
             static_cast<double>(kBoxValues[v]));
    SetStatus(statusText);
    // Paint the opened box and the status before the sound blocks the thread.
    // The buttons are disabled only after that paint: under Wine each disable
    // repaints its button at once, and 22 of them ahead of the reveal would
    // hold back what the player is waiting to see. busy already refuses box
    // clicks meanwhile, and the sounds below still play with them disabled.
    if (PumpAndCheckGone(game))
        return false;
    EnableBoxButtons(false);

    PlaySoundSync(SOUND_REVEAL);
    if (picksMade == 21)
        return GiveVerdict(v, game);
    if (picksMade == 22) {
        SetStatus("THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'");
        if (PumpAndCheckGone(game))
            return false;
        PlaySoundSync(SOUND_TITLE);
        return true;
    }
    PlaySoundSync(ReactionSound(static_cast<int>(v), dealt != 0));
    return true;
}

void OpenBox(int i)
{
    if (i < 0 || i >= kBoxCount)
        return;
    FocusControl(IDC_OFFER_LIST);
    if (offerPending || busy)
        return;
    SetControlText(IDC_OFFER, "");
    BoxRecord& record = boxRecords[i];
    // Opened boxes' buttons are out of sight, but a click may already be queued.
    if (record.opened)
        return;
    if (record.chosen && picksMade < 21)
        return;
    if (picksMade == 21 && !record.chosen)
        return;
    if (picksMade > 22)
        return;

    int32_t game = gameNumber;
    // Refuse box clicks for the whole click, not only from its first sound:
    // the disabled buttons alone would let a click that still got through
    // open a second box in the middle of this one.
    busy = 1;
    if (picksMade == 0) {
        EnableBoxButtons(false);
        ChooseOwnBox(i);
    } else if (!Reveal(i, game))
        return;   // the new game, or the closing window, owns everything now

    ++picksMade;
    if (IsBankerCount(picksMade) && !BankerCall(game))
        return;

    busy = 0;
    EnableBoxButtons(true);
    if (!offerPending) {
        if (picksMade < 21 && !dealt)
            SetStatus("OPEN A BOX");
        else if (picksMade == 21)
            SetStatus("OPEN YOUR BOX");
        else if (picksMade == 22)
            SetStatus("OPEN THE LAST BOX");
    }
    PumpMessages();
}
