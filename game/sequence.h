// How a long game sequence learns that it must stop. Internal to game/.
#pragma once
#include <cstdint>

// Pumps once; true when the sequence begun in `game` must end at once: the
// window is closing (the pump has taken the quit message, now or before), or
// a NEW GAME handled meanwhile replaced the game, which then owns every
// control and variable.
bool PumpAndCheckGone(int32_t game);
