// A scripted stand-in for the window, the speakers, the pump and the clock.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
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
inline Event inMessageBox = [] {};                                   // the next box's modal loop
inline std::string lastBox;                                          // "caption|text" of the last message box

// Program start: the layout captured (button 200 + i, picture 100 + i, plate 300 + i), the first game dealt.
inline void Reset(const UtcTime& clock = kMidsummer)
{
    ResetGameState(), ResetRandom(), ops.clear(), controls.clear(), lastBox.clear(), atPump.clear(), whens.clear(), inMessageBox = [] {};
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
inline auto Look(int id) { const Control& c = controls[id]; return std::make_tuple(c.x, c.y, c.enabled, c.text, c.picture); }

// The generator's state that steps to `next`: 1440005641 is 12345's inverse modulo 2^32.
inline uint32_t StateBefore(uint32_t next) { return (next - 38289u) * 1440005641u; }
// The box holding value index `value` (kBoxCount if none), the box buttons enabled, and the banker's calls by picks.
inline int BoxOf(int value) { int i = 0; while (i < kBoxCount && boxRecords[i].valueIndex != uint32_t(value)) ++i; return i; }
inline int BoxesEnabled() { int n = 0; for (int i = 0; i < kBoxCount; ++i) n += controls[IDC_BOX_BUTTON + i].enabled; return n; }
inline int CallsBy(int picks) { return picks < 6 ? 0 : std::min(picks / 3 - 1, 6); }

// EXPECT_ALL(a == b, !c, ...) << context: a failure for each false condition, in its source text and with a comparison's values.
struct Verdict { bool holds; std::string values; Verdict Of(const char* text) const { return {holds, "broke: " + (text + values)}; } };
template <typename T> std::string Show(const T& v) { return testing::PrintToString(v); }
inline std::string Show(float v) { char text[24]; return std::string(text, std::to_chars(text, text + 24, v).ptr); }   // all its digits
#define FAKE_IS(op) template <class R> Verdict operator op(const R& r) const { return {l op r, ", as " + Show(l) + " " #op " " + Show(r)}; }
template <typename L> struct Side { const L& l; FAKE_IS(==) FAKE_IS(!=) FAKE_IS(<) FAKE_IS(<=) FAKE_IS(>) FAKE_IS(>=)
                                    operator Verdict() const { return {std::is_null_pointer_v<L> || bool(l), ""}; } };   // nullptr: a pad
struct Decompose { template <typename L> Side<L> operator->*(const L& l) const { return {l}; } };
#define FAKE_C(text, c) ::fake::Verdict(::fake::Decompose() ->* c).Of(text)   // text: unexpanded, as `, ##` hands the conditions on
#define FAKE_ALL(z, a, b, c, d, e, f, g, h, i, j, ...) for (const auto& v : {FAKE_C(#a, a), FAKE_C(#b, b), FAKE_C(#c, c), FAKE_C(#d, d), \
    FAKE_C(#e, e), FAKE_C(#f, f), FAKE_C(#g, g), FAKE_C(#h, h), FAKE_C(#i, i), FAKE_C(#j, j)})   /* ten at most: an eleventh is no nullptr */ \
    if ((void)std::initializer_list<std::nullptr_t>{__VA_ARGS__}, v.holds) {} else ADD_FAILURE() << v.values << '\n'
#define EXPECT_ALL(...) FAKE_ALL(0, ## __VA_ARGS__, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)

}  // namespace fake
