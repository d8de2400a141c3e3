// The banker: his calls, the offer, DEAL, NO DEAL and the swap.
#pragma once
#include <cstdint>

// Runs inside the click that brought picksMade to a banker count. Returns
// false when the game it began in is gone (a NEW GAME, or the window closing).
bool BankerCall(int32_t game);
// Square of the mean of the square roots of the unopened amounts.
void MakeBankerOffer();
// Exchanges the player's box with the last unopened other box.
void SwapOwnBox();
void AnswerDeal();
void AnswerNoDeal();
