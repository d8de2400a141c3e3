// The game's own random number generator: a 32-bit LCG seeded once from the clock.
#include "numerics/random.h"

#include "ui/platform.h"

uint32_t rngState = 0;
uint32_t rngSeeded = 0;

// Milliseconds since a nominal start of the year, deliberately wrapped to 32
// bits and divided by the year as a signed value: the seeds of every deal ever
// made depend on this exact arithmetic.
static uint32_t SeedFromClock()
{
    UtcTime now;
    ReadUtcClock(&now);
    uint32_t t = now.month;
    t = t * 12u + now.day;
    t = t * 32u + now.hour;
    t = t * 60u + now.minute;
    t = t * 60u + now.second;
    t = t * 1000u + now.millisecond;
    int32_t signedT = static_cast<int32_t>(t);
    int32_t quotient = now.year ? signedT / static_cast<int32_t>(now.year) : signedT;
    return static_cast<uint32_t>(quotient);
}

uint32_t RandomInRange(uint32_t lo, uint32_t hi)
{
    uint32_t x;
    if (!rngSeeded) {
        rngSeeded = 1;
        x = SeedFromClock();
    } else {
        x = rngState;
    }
    rngState = x * 12345u + 38289u;
    uint32_t n = hi - lo + 1u;
    uint32_t d = 0xFFFFFFFFu / n;
    return lo + rngState / d;
}

void ResetRandom()
{
    rngState = 0;
    rngSeeded = 0;
}
