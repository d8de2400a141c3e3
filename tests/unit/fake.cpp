// The fake platform: records every call, keeps the controls, runs the clock and the script.
#include "tests/unit/fake.h"

#include <stdexcept>

#include "game/banker.h"
#include "game/boxes.h"
#include "game/clock.h"
#include "numerics/random.h"

namespace fake {

static int pumpsAfterQuit = 0;

static void Add(const char* kind, int id, const std::string& value = "")
{
    ops.push_back({kind, id, value});
}

void Reset(const UtcTime& clock)
{
    ResetGameState();
    ResetRandom();
    ops.clear(), controls.clear(), atPump.clear(), whens.clear(), inMessageBox.clear(),
        answers.clear(), everyPump = nullptr;
    now = 0, nextTick = 1000, pumps = 0, clockReads = 0, pumpsAfterQuit = 0;
    quitPosted = quitTaken = false;
    utc = clock;
    for (int i = 0; i < kBoxCount; ++i) {
        boxRecords[i] = {100 + i, 10, 200 + i, 20, 300 + i, 30, 0, 0, 0};
        controls[IDC_BOX_BUTTON + i].text = std::to_string(i + 1);
    }
    controls[IDC_DEAL].enabled = controls[IDC_NO_DEAL].enabled = false;
    NewGame();
    ops.clear();
}

bool PumpUntil(const std::function<bool()>& done, int limit)
{
    for (int i = 0; i < limit && !done(); ++i)
        PumpMessages();
    return done();
}

void ClickBox(int i) { OpenBox(i); }
void ClickDeal() { if (controls[IDC_DEAL].enabled) AnswerDeal(); }
void ClickNoDeal() { if (controls[IDC_NO_DEAL].enabled) AnswerNoDeal(); }
void ClickNewGame(bool yes) { answers.push_back(yes); NewGameCommand(); }

std::vector<std::string> Of(const std::string& kind, size_t from, bool withValue)
{
    std::vector<std::string> found;
    for (size_t k = from; k < ops.size(); ++k)
        if (ops[k].kind == kind)
            found.push_back(std::to_string(ops[k].id) + (withValue ? "=" + ops[k].value : ""));
    return found;
}

static void RunMessageBoxLoop()
{
    std::vector<Event> events;
    events.swap(inMessageBox);
    for (Event& event : events)
        event();
}

}  // namespace fake

using namespace fake;

void MoveControl(int id, int x, int y)
{
    controls[id].x = x, controls[id].y = y;
    Add("move", id, std::to_string(x) + "," + std::to_string(y));
}
void RepaintControl(int id) { Add("repaint", id); }
void SetControlText(int id, const char* text) { controls[id].text = text; Add("text", id, text); }
void EnableControl(int id, bool on) { controls[id].enabled = on; Add("enable", id, on ? "1" : "0"); }
void AppendListLine(int id, const char* text) { controls[id].lines.push_back(text); Add("append", id, text); }
void EmptyList(int id) { controls[id].lines.clear(); Add("empty", id); }
void SetPicture(int id, int bitmap) { controls[id].picture = bitmap; Add("picture", id, std::to_string(bitmap)); }
void FocusControl(int id) { Add("focus", id); }
void SetStatus(const char* text) { controls[IDC_STATUS].text = text; Add("status", IDC_STATUS, text); }
void PlaySoundAsync(int sound) { Add("async", sound); }
void ReadUtcClock(UtcTime* time) { ++clockReads, *time = utc; }

bool AskYesNo(const char* text, const char* caption)
{
    Add("ask", 0, std::string(caption) + "|" + text);
    RunMessageBoxLoop();
    bool yes = !answers.empty() && answers.front();
    if (!answers.empty())
        answers.erase(answers.begin());
    return yes && !quitPosted;
}

void Inform(const char* text, const char* caption)
{
    Add("inform", 0, std::string(caption) + "|" + text);
    RunMessageBoxLoop();
}

// Nothing is pumped while a synchronous sound plays: the clock jumps past it.
void PlaySoundSync(int sound)
{
    Add("sound", sound);
    now += kSoundSamples[sound] * 1000LL / 11025;
}

// The quit is taken by the first pump after it is posted (or by the pump in
// which it is posted), and every later pump reports it again at once.
int PumpMessages()
{
    if (quitTaken) {
        if (++pumpsAfterQuit > 1000)
            throw std::runtime_error("a sequence keeps pumping after the quit");
        return 1;
    }
    if (++pumps > 3000000)
        throw std::runtime_error("runaway: three million pumps");
    auto due = atPump.find(pumps);
    if (due != atPump.end()) {
        std::vector<Event> events = due->second;
        atPump.erase(due);
        for (Event& event : events)
            event();
    }
    for (size_t k = 0; k < whens.size(); ++k)
        if (whens[k].first()) {
            Event event = whens[k].second;
            whens.erase(whens.begin() + static_cast<long>(k));
            event();
            break;
        }
    if (!quitPosted && now >= nextTick) {
        nextTick = (now / 1000 + 1) * 1000;   // ticks missed while blocked are lost
        Add("tick", 0);
        OnSecondTimer();
    }
    if (everyPump)
        everyPump();
    now += 1;
    quitTaken = quitPosted;
    return quitTaken ? 1 : 0;
}
