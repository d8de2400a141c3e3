// A scripted stand-in for the window, the speakers, the pump and the clock.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/state.h"
#include "resources/resource.h"
#include "ui/platform.h"

namespace fake {

// Samples of each sound at 11025 a second: the generated files must hold
// exactly these, and a synchronous play blocks the fake clock that long.
const int kSoundSamples[kSoundCount] = {16608, 22529, 33217, 28736, 33920,
                                        38144, 11648, 64148, 11936, 4408};
const UtcTime kMidsummer = {2024, 6, 6, 15, 9, 30, 45, 250};

// kind: move text enable append empty picture repaint focus status ask inform
// sound async tick; id: control or sound; value: text, "x,y", "1"/"0", bitmap.
struct Op { std::string kind; int id; std::string value; };
struct Control { int x = 0, y = 0; std::string text; bool enabled = true;
                 std::vector<std::string> lines; int picture = 0; };
using Event = std::function<void()>;

inline std::vector<Op> ops;
inline std::map<int, Control> controls;
inline long long now = 0, nextTick = 1000;   // ms; ticks fall due each second
inline int pumps = 0, clockReads = 0;
inline bool quitPosted = false, quitTaken = false;
inline UtcTime utc = kMidsummer;
inline std::map<int, std::vector<Event>> atPump;                 // by pump number
inline std::vector<std::pair<std::function<bool()>, Event>> whens;   // once, first pump it holds
inline std::vector<Event> inMessageBox;                          // the next box's modal loop
inline std::vector<bool> answers;                                // Yes/No, in order; then No
inline Event everyPump;                                          // invariants

// Program start with the layout captured (button i at x 200 + i, and so on)
// and the first game dealt from `clock`; the record starts empty.
void Reset(const UtcTime& clock = kMidsummer);
// Pumps until done() holds; false if it never did within `limit` pumps.
bool PumpUntil(const std::function<bool()>& done, int limit = 200000);
// The player, as the dialog routes clicks; a disabled button sends nothing,
// but a box click may already be queued when its button is disabled.
void ClickBox(int i);
void ClickDeal();
void ClickNoDeal();
void ClickNewGame(bool yes);
// Ops of one kind since `from`, as "id" or "id=value" strings.
std::vector<std::string> Of(const std::string& kind, size_t from = 0, bool withValue = false);
// The generator's state that steps to `next` (Newton's iteration inverts the multiplier).
inline uint32_t StateBefore(uint32_t next)
{
    uint32_t inverse = 12345;
    for (int k = 0; k < 4; ++k)
        inverse *= 2 - 12345 * inverse;
    return (next - 38289u) * inverse;
}
inline std::string Status() { return controls[IDC_STATUS].text; }

}  // namespace fake
