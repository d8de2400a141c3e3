// The fake platform: records every call, keeps the controls, runs the clock and the script.
#include "tests/unit/fake.h"

#include <stdexcept>
#include <utility>

#include "game/clock.h"

using namespace fake;

static void Add(const char* kind, int id, const std::string& value = "") { ops.push_back({kind, id, value, ticks}); }

void MoveControl(int id, int x, int y) { controls[id].x = x, controls[id].y = y, Add("move", id, std::to_string(x) + "," + std::to_string(y)); }
void RepaintControl(int id) { Add("repaint", id); }
void SetControlText(int id, const char* text) { controls[id].text = text, Add("text", id, text); }
void EnableControl(int id, bool on) { controls[id].enabled = on, Add("enable", id, on ? "1" : "0"); }
void AppendListLine(int id, const char* text) { controls[id].lines.push_back(text), Add("append", id, text); }
void EmptyList(int id) { controls[id].lines.clear(), Add("empty", id); }
void SetPicture(int id, int bitmap) { controls[id].picture = bitmap, Add("picture", id, std::to_string(bitmap)); }
void FocusControl(int id) { Add("focus", id); }
void SetStatus(const char* text) { controls[IDC_STATUS].text = text, Add("status", IDC_STATUS, text); }
void PlaySoundAsync(int sound) { Add("async", sound); }
// The generator seeds once; a second reading would repeat a seed forever.
void ReadUtcClock(UtcTime* time) { if (clockReads++) throw std::runtime_error("the clock is read again"); *time = utc; }
// Nothing is pumped while a synchronous sound plays: the clock jumps past it. It notes the box buttons enabled.
void PlaySoundSync(int sound) { Add("sound", sound, std::to_string(BoxesEnabled())), now += kSoundSamples[sound] * 1000LL / 11025; }

void Inform(const char* text, const char* caption)
{
    Add("box", 0, lastBox = std::string(caption) + "|" + text), std::exchange(inMessageBox, [] {})();   // what its modal loop runs, once
}

bool AskYesNo(const char* text, const char* caption) { return Inform(text, caption), std::exchange(answer, false) && !quitPosted; }

// The quit is taken by the pump it is posted in or the next, and every later pump reports it again.
int PumpMessages()
{
    if (++pumps > 3000000)
        throw std::runtime_error("three million pumps: a sequence never ends");
    if (quitTaken || (quitTaken = quitPosted))
        return 1;
    if (auto due = atPump.extract(pumps))
        due.mapped()();
    auto when = std::find_if(whens.begin(), whens.end(), [](const auto& w) { return w.first && w.first(); });
    if (when != whens.end())   // spent, it keeps its place and never holds again
        std::exchange(*when, {}).second();
    if (!quitPosted && now >= nextTick)   // ticks missed while blocked are lost
        nextTick = (now / 1000 + 1) * 1000, ++ticks, OnSecondTimer();
    now += 1;
    return quitTaken = quitPosted;
}
