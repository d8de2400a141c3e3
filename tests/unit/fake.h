// A scripted stand-in for the window, the speakers, the pump and the clock.
#pragma once
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/banker.h"
#include "game/boxes.h"
#include "game/state.h"
#include "numerics/random.h"
#include "resources/resource.h"
#include "ui/platform.h"

namespace fake {

// Samples at 11025 a second: what each generated file holds, and how long a synchronous play blocks.
const int kSoundSamples[kSoundCount] = {16608, 22529, 33217, 28736, 33920, 38144, 11648, 64148, 11936, 4408};
const UtcTime kMidsummer = {2024, 6, 6, 15, 9, 30, 45, 250}, kJanuary = {2008, 1, 4, 24, 12, 0, 0, 0};

// kind: the call; id: the control or sound; value: text, "x,y", "1"/"0", bitmap or count; tick: the ticks so far.
struct Op { std::string kind; int id; std::string value; int tick; };
struct Control { int x = 0, y = 0; std::string text; bool enabled = true; std::vector<std::string> lines; int picture = 0; };
using Event = std::function<void()>;

inline std::vector<Op> ops;
inline std::map<int, Control> controls;
inline long long now = 0, nextTick = 1000;   // ms; a tick falls due each second
inline int pumps = 0, clockReads = 0, ticks = 0;
inline bool quitPosted = false, quitTaken = false, answer = false;   // answer: the next question's; No after it
inline UtcTime utc = kMidsummer;
inline std::map<int, Event> atPump;                                  // by pump number, ahead of whens
inline std::vector<std::pair<std::function<bool()>, Event>> whens;   // once, first pump it holds in
inline Event inMessageBox;                                           // the next box's modal loop
inline std::string lastBox;                                          // "caption|text" of the last message box

// Program start: the layout captured (button 200 + i, picture 100 + i, plate 300 + i), the first game dealt.
inline void Reset(const UtcTime& clock = kMidsummer)
{
    ResetGameState(), ResetRandom();
    ops.clear(), controls.clear(), lastBox.clear(), atPump.clear(), whens.clear(), inMessageBox = nullptr;
    now = 0, nextTick = 1000, pumps = clockReads = ticks = 0, quitPosted = quitTaken = answer = false, utc = clock;
    for (int i = 0; i < kBoxCount; ++i)
        boxRecords[i] = {100 + i, 10, 200 + i, 20, 300 + i, 30};   // what the layout capture records
    NewGame(), ops.clear();
}

inline void PumpUntil(const std::function<bool()>& done) { while (!done()) PumpMessages(); }

// Clicks as the dialog routes them: a disabled button sends nothing.
inline void ClickAnswer(bool deal) { if (controls[deal ? IDC_DEAL : IDC_NO_DEAL].enabled) deal ? AnswerDeal() : AnswerNoDeal(); }
inline void ClickNewGame(bool yes) { answer = yes, NewGameCommand(); }

inline std::string Status() { return controls[IDC_STATUS].text; }

// The generator's state that steps to `next`: 1440005641 is 12345's inverse modulo 2^32.
inline uint32_t StateBefore(uint32_t next) { return (next - 38289u) * 1440005641u; }
// The box holding value index `value` (kBoxCount if none), the box buttons enabled, and the banker's calls by picks.
inline int BoxOf(int value) { int i = 0; while (i < kBoxCount && boxRecords[i].valueIndex != uint32_t(value)) ++i; return i; }
inline int BoxesEnabled() { int n = 0; for (int i = 0; i < kBoxCount; ++i) n += controls[IDC_BOX_BUTTON + i].enabled; return n; }
inline int CallsBy(int picks) { return picks < 6 ? 0 : std::min(picks / 3 - 1, 6); }

}  // namespace fake
