// The game's shared data (amounts, box records, game variables) and the new game.
#pragma once
#include <cstdint>

#include "resources/resource.h"

const int kBoxCount = BOX_COUNT;

// The amounts in pounds, ascending; the index is the value index, which also
// names board plate IDC_BOARD_VALUE + v and bitmap IDB_OPEN_BOX_BASE + v.
extern const float kBoxValues[kBoxCount];

// picksMade values at which the banker calls and the clock prompts.
const int kBankerCountCount = 6;
extern const int kBankerCounts[kBankerCountCount];
bool IsBankerCount(int picks);

// Marks a record not dealt yet; never a real value index.
const uint32_t kUndealt = 100;

struct BoxRecord {
    int32_t pictureX, pictureY;   // picture IDC_BOX_PICTURE + i
    int32_t buttonX, buttonY;     // button IDC_BOX_BUTTON + i
    int32_t boardX, boardY;       // plate IDC_BOARD_VALUE + i: value index i, not this box's amount
    int32_t opened;
    int32_t chosen;
    uint32_t valueIndex;
};

// Record i is box number i + 1.
extern BoxRecord boxRecords[kBoxCount];

// GameState: everything but lastOffer is reset by every new game.
extern int32_t picksMade;
extern int32_t offerPending;
extern int32_t dealt;
extern float dealAmount;
extern float lastOffer;
extern int32_t busy;
extern int32_t ownBoxChosen;
extern int32_t waitTickCount;
extern int32_t ambientTickCount;
extern int32_t promptTickCount;

// Advanced by every new game. A sequence that pumps messages notes it before
// and compares after, to learn that a NEW GAME replaced the game it began in.
extern int32_t gameNumber;

// Deals a fresh game and puts the board back to its starting look.
void NewGame();
// The NEW GAME button: asks "START AGAIN?" and deals on Yes.
void NewGameCommand();

// Back to program start, positions included: at start-up, and before each test.
void ResetGameState();
