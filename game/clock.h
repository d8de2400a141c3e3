// The one-second game clock and the paced waits.
#pragma once

// One tick of the clock; the platform's timer calls it once a second.
void OnSecondTimer();
// Pumps until the clock has ticked n times. Returns false, early, when the
// game it began in is gone (a NEW GAME, or the window closing).
bool WaitTicks(int n);
