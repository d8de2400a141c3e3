// A scripted stand-in for the window, the speakers, the pump and the clock.
#include "tests/unit/fake_platform.h"

#include <deque>

#include "game/banker.h"
#include "game/boxes.h"
#include "game/clock.h"
#include "game/state.h"
#include "numerics/random.h"
#include "resources/resource.h"

namespace fake {
namespace {

// Sample counts of the ten sounds at 11025 samples a second.
const int kSoundSamples[kSoundCount] = {16608, 22529, 33217, 28736, 33920,
                                        38144, 11648, 64148, 11936, 4408};

std::vector<Op> record;
std::map<int, Control> controls;
std::map<int, std::vector<Event>> pumpEvents;
std::deque<Event> nextPumpEvents;
std::deque<Event> messageBoxEvents;
std::vector<std::pair<std::function<bool()>, Event>> conditionalEvents;
std::deque<bool> answers;
long long now = 0;
long long nextTick = 1000;
int pumps = 0;
std::vector<size_t> pumpLog;
bool ticking = true;
bool closed = false;
UtcTime utc = {2024, 6, 6, 15, 9, 30, 45, 250};
int clockReads = 0;

void Add(const std::string& kind, int control, const std::string& value)
{
    record.push_back(Op{kind, control, value});
}

// A message box's modal loop runs the scripted events meant for it.
void RunMessageBoxLoop()
{
    while (!messageBoxEvents.empty()) {
        Event event = messageBoxEvents.front();
        messageBoxEvents.pop_front();
        event();
    }
}

}  // namespace

void Reset()
{
    ResetGameState();
    ResetRandom();
    record.clear();
    controls.clear();
    pumpEvents.clear();
    nextPumpEvents.clear();
    messageBoxEvents.clear();
    conditionalEvents.clear();
    answers.clear();
    now = 0;
    nextTick = 1000;
    pumps = 0;
    pumpLog.clear();
    ticking = true;
    closed = false;
    utc = UtcTime{2024, 6, 6, 15, 9, 30, 45, 250};
    clockReads = 0;
    // The template's captions; a new game puts these back too.
    for (int i = 0; i < kBoxCount; ++i)
        controls[IDC_BOX_BUTTON + i].text = std::to_string(i + 1);
    controls[IDC_DEAL].enabled = false;
    controls[IDC_NO_DEAL].enabled = false;
}

const std::vector<Op>& Record() { return record; }
void ClearRecord() { record.clear(); }

std::vector<Op> RecordWithout(const std::vector<std::string>& kinds)
{
    std::vector<Op> kept;
    for (const Op& op : record) {
        bool drop = false;
        for (const std::string& kind : kinds)
            drop = drop || op.kind == kind;
        if (!drop)
            kept.push_back(op);
    }
    return kept;
}

std::vector<Op> RecordOf(const std::string& kind)
{
    std::vector<Op> kept;
    for (const Op& op : record)
        if (op.kind == kind)
            kept.push_back(op);
    return kept;
}

Control& ControlState(int controlId) { return controls[controlId]; }
std::string Status() { return controls[IDC_STATUS].text; }
long long Now() { return now; }
int PumpCount() { return pumps; }
const std::vector<size_t>& PumpLog() { return pumpLog; }
void SetUtcClock(const UtcTime& time) { utc = time; }
int ClockReads() { return clockReads; }
void SetTicking(bool on) { ticking = on; }
void AtPump(int pumpNumber, Event event) { pumpEvents[pumpNumber].push_back(event); }
void AtNextPump(Event event) { nextPumpEvents.push_back(event); }
void InNextMessageBox(Event event) { messageBoxEvents.push_back(event); }
void When(std::function<bool()> condition, Event event)
{
    conditionalEvents.emplace_back(std::move(condition), std::move(event));
}

void AnswerNext(bool yes) { answers.push_back(yes); }
void Close() { closed = true; }
bool Closed() { return closed; }

bool PumpUntil(const std::function<bool()>& done, int maxPumps)
{
    for (int i = 0; i < maxPumps; ++i) {
        if (done())
            return true;
        if (PumpMessages())
            return done();
    }
    return done();
}

void ClickBox(int boxIndex) { OpenBox(boxIndex); }

// A disabled button sends nothing; the game never sees the click.
void ClickDeal()
{
    if (controls[IDC_DEAL].enabled)
        AnswerDeal();
}

void ClickNoDeal()
{
    if (controls[IDC_NO_DEAL].enabled)
        AnswerNoDeal();
}

void ClickNewGame(bool yes)
{
    AnswerNext(yes);
    NewGameCommand();
}

}  // namespace fake

using namespace fake;

void MoveControl(int controlId, int x, int y)
{
    controls[controlId].x = x;
    controls[controlId].y = y;
    Add("move", controlId, std::to_string(x) + "," + std::to_string(y));
}

void RepaintControl(int controlId) { Add("repaint", controlId, ""); }

void SetControlText(int controlId, const char* text)
{
    controls[controlId].text = text;
    Add("text", controlId, text);
}

void EnableControl(int controlId, bool enabled)
{
    controls[controlId].enabled = enabled;
    Add("enable", controlId, enabled ? "1" : "0");
}

void AppendListLine(int listId, const char* text)
{
    controls[listId].lines.push_back(text);
    Add("append", listId, text);
}

void EmptyList(int listId)
{
    controls[listId].lines.clear();
    Add("empty", listId, "");
}

void SetPicture(int controlId, int bitmapId)
{
    controls[controlId].picture = bitmapId;
    Add("picture", controlId, std::to_string(bitmapId));
}

void FocusControl(int controlId) { Add("focus", controlId, ""); }

void SetStatus(const char* text)
{
    controls[IDC_STATUS].text = text;
    Add("status", IDC_STATUS, text);
}

bool AskYesNo(const char* text, const char* caption)
{
    Add("ask", 0, std::string(caption) + "|" + text);
    RunMessageBoxLoop();
    bool yes = false;
    if (!answers.empty()) {
        yes = answers.front();
        answers.pop_front();
    }
    return yes && !closed;
}

void Inform(const char* text, const char* caption)
{
    Add("inform", 0, std::string(caption) + "|" + text);
    RunMessageBoxLoop();
}

// A synchronous sound blocks the thread for its length: no pump, no tick.
void PlaySoundSync(int sound)
{
    Add("sound", sound, "");
    if (sound >= 0 && sound < kSoundCount)
        now += kSoundSamples[sound] * 1000LL / 11025;
}

void PlaySoundAsync(int sound) { Add("async", sound, ""); }

int PumpMessages()
{
    if (closed)
        return 1;
    ++pumps;
    pumpLog.push_back(record.size());
    auto due = pumpEvents.find(pumps);
    if (due != pumpEvents.end()) {
        std::vector<Event> events = due->second;
        pumpEvents.erase(due);
        for (Event& event : events)
            event();
    }
    for (size_t i = 0; i < conditionalEvents.size(); ++i) {
        if (conditionalEvents[i].first()) {
            Event event = conditionalEvents[i].second;
            conditionalEvents.erase(conditionalEvents.begin() + static_cast<long>(i));
            event();
            break;
        }
    }
    while (!nextPumpEvents.empty()) {
        Event event = nextPumpEvents.front();
        nextPumpEvents.pop_front();
        event();
    }
    if (closed)
        return 1;
    if (ticking && now >= nextTick) {
        nextTick = (now / 1000 + 1) * 1000;
        Add("tick", 0, "");
        OnSecondTimer();
    }
    now += 1;   // the idle step
    return closed ? 1 : 0;
}

void ReadUtcClock(UtcTime* time)
{
    ++clockReads;
    *time = utc;
}
