// The game's own random number generator: a 32-bit LCG seeded once from the clock.
#pragma once
#include <cstdint>

extern uint32_t rngState;
extern uint32_t rngSeeded;

// lo..hi, and hi + 1 for the few states in the last, short slice.
uint32_t RandomInRange(uint32_t lo, uint32_t hi);

// Back to program start: unseeded, so the next call reads the clock again.
void ResetRandom();
