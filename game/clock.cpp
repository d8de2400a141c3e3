// The one-second game clock and the paced waits.
#include "game/clock.h"

#include "game/sequence.h"
#include "game/state.h"
#include "resources/resource.h"
#include "ui/platform.h"

void OnSecondTimer()
{
    ++waitTickCount;
    ++ambientTickCount;
    if (ambientTickCount > 3) {
        if (ownBoxChosen)
            PlaySoundAsync(SOUND_AMBIENT);
        ambientTickCount = 0;
    }
    if (IsBankerCount(picksMade)) {
        ++promptTickCount;
        if (promptTickCount > 3) {
            promptTickCount = 0;
            if (offerPending && !dealt) {
                PlaySoundAsync(SOUND_PROMPT);
                EnableControl(IDC_DEAL, true);
                EnableControl(IDC_NO_DEAL, true);
                SetStatus("PRESS THE DEAL BUTTON OR NO DEAL BUTTON");
                PumpMessages();
            }
        }
    }
    PumpMessages();
}

bool WaitTicks(int n)
{
    int32_t game = gameNumber;
    int32_t busyBefore = busy;
    waitTickCount = 0;
    // busy is set on every pass so that box clicks stay refused for the
    // whole wait; a new game ends the wait instead of restarting it.
    while (n > 0 && waitTickCount < n) {
        busy = 1;
        if (PumpAndCheckGone(game))
            return false;
    }
    // The click that waits is still running: it clears busy at its end.
    busy = busyBefore;
    return true;
}
