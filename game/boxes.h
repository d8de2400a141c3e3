// Opening boxes: the choice of the own box, reveals, reactions, the verdict and the end of a game.
#pragma once

// A click on box button i (0..21, box number i + 1).
void OpenBox(int i);

// The sound that follows a reveal of value index v, by whether a deal was made.
int ReactionSound(int valueIndex, bool dealtAlready);
