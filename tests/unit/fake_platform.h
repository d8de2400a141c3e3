// A scripted stand-in for the window, the speakers, the pump and the clock.
// It records every operation in order, keeps the controls' state, runs its
// own millisecond clock and delivers scripted events inside its pumps.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/platform.h"

namespace fake {

struct Op {
    std::string kind;      // "move", "text", "enable", "append", "empty", "picture",
                           // "repaint", "focus", "status", "ask", "inform",
                           // "sound", "async", "tick"
    int control = 0;       // control id, or sound number for sounds
    std::string value;     // text, "x,y", "1"/"0", bitmap id, answer
    bool operator==(const Op& other) const
    {
        return kind == other.kind && control == other.control && value == other.value;
    }
};

struct Control {
    int x = 0, y = 0;
    std::string text;
    bool enabled = true;
    std::vector<std::string> lines;
    int picture = 0;
};

// What a pump or a message box can deliver.
using Event = std::function<void()>;

// Everything back to program start: the game's state, the generator, the
// record, the script, the clock (at 0 ms) and the controls.
void Reset();

const std::vector<Op>& Record();
void ClearRecord();
// The record without the kinds named, for comparisons that ignore noise.
std::vector<Op> RecordWithout(const std::vector<std::string>& kinds);
std::vector<Op> RecordOf(const std::string& kind);
Control& ControlState(int controlId);
std::string Status();

// The clock: milliseconds since start; ticks fall due every 1000 ms and a
// pump handles at most one, however many fell due while it was blocked.
long long Now();
int PumpCount();
// The record's length when each pump began: pumps after which something
// happened are the places where an interruption can change a sequence.
const std::vector<size_t>& PumpLog();
void SetUtcClock(const UtcTime& time);
int ClockReads();
// Delivers ticks (OnSecondTimer) inside pumps; on by default.
void SetTicking(bool on);

// Events run inside the pump whose number (1-based, counted from Reset) is
// given, or inside the next pump, or inside the next message box's loop.
void AtPump(int pumpNumber, Event event);
void AtNextPump(Event event);
void InNextMessageBox(Event event);
// Runs the event once, inside the first pump at which the condition holds.
void When(std::function<bool()> condition, Event event);
// Answers to AskYesNo, in order; No when none is left.
void AnswerNext(bool yes);
// The window closes: every later pump reports the quit message.
void Close();
bool Closed();

// Runs pumps until the predicate holds or the limit of pumps is reached;
// true when it held.
bool PumpUntil(const std::function<bool()>& done, int maxPumps = 200000);

// The player's actions, as the dialog procedure would route them.
void ClickBox(int boxIndex);
void ClickDeal();
void ClickNoDeal();
void ClickNewGame(bool yes);

}  // namespace fake
