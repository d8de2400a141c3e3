// The game's shared data (amounts, box records, game variables) and the new game.
#include "game/state.h"

#include <cstdio>

#include "game/sequence.h"
#include "numerics/random.h"
#include "resources/resource.h"
#include "ui/platform.h"

const float kBoxValues[kBoxCount] = {
    0.01f, 0.10f, 0.50f, 1.0f, 5.0f, 10.0f, 50.0f, 100.0f, 250.0f, 500.0f, 750.0f,
    1000.0f, 3000.0f, 5000.0f, 10000.0f, 15000.0f, 20000.0f, 35000.0f, 50000.0f,
    75000.0f, 100000.0f, 250000.0f,
};

const int kBankerCounts[kBankerCountCount] = {6, 9, 12, 15, 18, 21};

BoxRecord boxRecords[kBoxCount];

int32_t picksMade = 0;
int32_t offerPending = 0;
int32_t dealt = 0;
float dealAmount = 0.0f;
float lastOffer = 0.0f;
int32_t busy = 0;
int32_t ownBoxChosen = 0;
int32_t waitTickCount = 0;
int32_t ambientTickCount = 0;
int32_t promptTickCount = 0;
int32_t gameNumber = 0;

bool IsBankerCount(int picks)
{
    for (int count : kBankerCounts)
        if (picks == count)
            return true;
    return false;
}

static bool ValueTaken(uint32_t v)
{
    for (const BoxRecord& record : boxRecords)
        if (record.valueIndex == v)
            return true;
    return false;
}

// The generator answers 22 for four of its 2^32 states; drawing again, like
// for a taken amount, keeps every order of the amounts equally likely.
static void Deal()
{
    for (BoxRecord& record : boxRecords)
        record.valueIndex = kUndealt;
    for (BoxRecord& record : boxRecords) {
        uint32_t r;
        do {
            r = RandomInRange(0, kBoxCount - 1);
        } while (r >= static_cast<uint32_t>(kBoxCount) || ValueTaken(r));
        record.valueIndex = r;
    }
}

void NewGame()
{
    ++gameNumber;
    picksMade = 0;
    RandomInRange(0, 1000);   // warm-up; the program's first deal seeds the generator here
    Deal();

    for (int i = 0; i < kBoxCount; ++i) {
        BoxRecord& record = boxRecords[i];
        record.opened = 0;
        record.chosen = 0;
        MoveControl(IDC_BOARD_VALUE + i, record.boardX, record.boardY);
        MoveControl(IDC_BOX_BUTTON + i, record.buttonX, record.buttonY);
        RepaintControl(IDC_BOX_BUTTON + i);
        MoveControl(IDC_BOX_PICTURE + i, record.pictureX, record.pictureY);
        SetPicture(IDC_BOX_PICTURE + i, IDB_CLOSED_BOX);
        // A swap in an earlier game exchanged two captions, and a click that
        // this game interrupted may have left the buttons disabled.
        char caption[8];
        snprintf(caption, sizeof caption, "%d", i + 1);
        SetControlText(IDC_BOX_BUTTON + i, caption);
        EnableControl(IDC_BOX_BUTTON + i, true);
    }

    SetControlText(IDC_OFFER, "\xA3");
    SetControlText(IDC_BANK, "\xA3" "0.00");
    // Left enabled, they would stand ready with no offer waiting, and take the
    // next call's offer before the banker has asked.
    EnableControl(IDC_DEAL, false);
    EnableControl(IDC_NO_DEAL, false);

    busy = 0;
    ownBoxChosen = 0;
    offerPending = 0;
    dealt = 0;
    waitTickCount = 0;
    ambientTickCount = 0;
    promptTickCount = 0;
    dealAmount = 0.0f;

    EmptyList(IDC_OFFER_LIST);
    SetStatus("CHOOSE YOUR OWN BOX");
    // A NEW GAME confirmed inside this pump has dealt again and played its
    // own title sound.
    if (PumpAndCheckGone(gameNumber))
        return;
    PlaySoundSync(SOUND_TITLE);
}

bool PumpAndCheckGone(int32_t game)
{
    return PumpMessages() != 0 || gameNumber != game;
}

void NewGameCommand()
{
    if (AskYesNo("START AGAIN?", "NEW GAME"))
        NewGame();
}

void ResetGameState()
{
    for (BoxRecord& record : boxRecords)
        record = BoxRecord{};
    picksMade = 0;
    offerPending = 0;
    dealt = 0;
    dealAmount = 0.0f;
    lastOffer = 0.0f;
    busy = 0;
    ownBoxChosen = 0;
    waitTickCount = 0;
    ambientTickCount = 0;
    promptTickCount = 0;
    gameNumber = 0;
}
