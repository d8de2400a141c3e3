// Sweeps: the money text over millions of float patterns, and long seeded
// sessions of random play against the fake window with the game's
// invariants checked after every action.
#include "tests/unit/game_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>

namespace {

// QUORVANT_SEED replays a run; otherwise GoogleTest's seed, which
// --gtest_random_seed also sets, so every run is printed and repeatable.
uint32_t RunSeed()
{
    uint32_t seed = static_cast<uint32_t>(::testing::UnitTest::GetInstance()->random_seed());
    if (const char* text = std::getenv("QUORVANT_SEED"))
        seed = static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
    std::cout << "[   SEED   ] QUORVANT_SEED=" << seed << " replays this case" << std::endl;
    ::testing::Test::RecordProperty("seed", std::to_string(seed));
    return seed;
}

// ---------------------------------------------------------------------------
// The money text

float FloatOf(uint32_t bits)
{
    float amount;
    std::memcpy(&amount, &bits, sizeof amount);
    return amount;
}

uint32_t BitsOf(float amount)
{
    uint32_t bits;
    std::memcpy(&bits, &amount, sizeof bits);
    return bits;
}

// The display rule again, by integer arithmetic rather than by editing
// printed text. llrint rounds to nearest with ties to even, as the fixed-point
// conversion does for the exact binary value; the only exact ties below £1
// (0.125, 0.375, 0.625, 0.875) stay exact when scaled by 100 in double.
// For 0 <= amount <= 250000, not negative zero.
std::string ReferenceMoney(float amount)
{
    char text[64];
    if (amount > 0.99f) {
        long long pounds = std::llrint(static_cast<double>(amount));
        if (amount > 99.99f)
            pounds -= pounds % 10;
        if (amount > 999.99f)
            pounds -= pounds % 100;
        if (amount > 99999.99f)
            pounds -= pounds % 1000;
        std::snprintf(text, sizeof text, "\xA3%lld", pounds);
    } else {
        long long pence = std::llrint(static_cast<double>(amount) * 100.0);
        std::snprintf(text, sizeof text, "\xA3%lld.%02lld", pence / 100, pence % 100);
    }
    return text;
}

// Empty when the text for this pattern is right, else what is wrong.
std::string MoneyFault(uint32_t bits)
{
    float amount = FloatOf(bits);
    const char* text = FormatMoney(amount);
    size_t length = strnlen(text, kMoneyTextSize);
    if (length == static_cast<size_t>(kMoneyTextSize))
        return "no terminator within the buffer";
    std::string shown(text, length);
    if (std::isnan(amount))
        return length == 0 ? "" : "text for a NaN: " + shown;
    if (length == 0 || static_cast<unsigned char>(text[0]) != 0xA3)
        return "no pound sign first: '" + shown + "'";
    if (std::isfinite(amount) && amount >= 0.0f && amount <= 250000.0f && !std::signbit(amount)) {
        std::string expected = ReferenceMoney(amount);
        if (shown != expected)
            return "'" + shown + "', expected '" + expected + "'";
    }
    return "";
}

struct MoneySweep {
    long long checked = 0;
    long long faults = 0;
    std::string firstFaults;

    void Check(uint32_t bits)
    {
        ++checked;
        std::string fault = MoneyFault(bits);
        if (fault.empty())
            return;
        if (++faults <= 10) {
            char head[64];
            std::snprintf(head, sizeof head, "  0x%08X (%.9g): ", bits,
                          static_cast<double>(FloatOf(bits)));
            firstFaults += head + fault + "\n";
        }
    }
};

TEST(MoneyTextSweep, EveryPatternFitsAndInRangeAmountsFollowTheRule)
{
    std::mt19937 random(RunSeed());
    MoneySweep sweep;

    // A stride through all 2^32 patterns, from a seeded start: every sign,
    // exponent and NaN payload class, and a different sample each run.
    const uint64_t stride = 2039;   // prime, so the low mantissa bits vary too
    for (uint64_t bits = random() % stride; bits < (1ull << 32); bits += stride)
        sweep.Check(static_cast<uint32_t>(bits));

    // Every pattern near each place where the rule or the rounding changes.
    const float edges[] = {0.0f,  0.005f, 0.015f,  0.125f,    0.99f,    0.995f,
                           1.0f,  1.5f,   99.99f,  100.0f,    999.99f,  1000.0f,
                           99999.99f, 100000.0f, 250000.0f};
    const int32_t reach = 40000;
    for (float edge : edges)
        for (int32_t step = -reach; step <= reach; ++step) {
            sweep.Check(BitsOf(edge) + static_cast<uint32_t>(step));
            sweep.Check(BitsOf(-edge) + static_cast<uint32_t>(step));
        }

    // Random patterns, and random amounts inside the game's range, where the
    // text is checked against the rule itself.
    std::uniform_real_distribution<float> inRange(0.0f, 250000.0f);
    std::uniform_real_distribution<float> belowTen(0.0f, 10.0f);
    for (int k = 0; k < 400000; ++k) {
        sweep.Check(static_cast<uint32_t>(random()));
        sweep.Check(BitsOf(inRange(random)));
        sweep.Check(BitsOf(belowTen(random)));
    }

    // Infinities and the NaN classes.
    for (uint32_t bits : {0x7F800000u, 0xFF800000u, 0x7F800001u, 0x7FC00000u, 0x7FFFFFFFu,
                          0xFF800001u, 0xFFC00000u, 0xFFFFFFFFu})
        sweep.Check(bits);

    EXPECT_EQ(sweep.faults, 0) << sweep.faults << " of " << sweep.checked
                               << " patterns wrong; the first:\n" << sweep.firstFaults;
    EXPECT_GT(sweep.checked, 4000000);
}

// ---------------------------------------------------------------------------
// Random play

const int kOwnButtonX = 359, kOwnButtonY = 452;
const int kOwnPictureX = 339, kOwnPictureY = 431;
const int kOutOfSight = 16384;

const char kChooseText[] = "CHOOSE YOUR OWN BOX";
const char kOpenABoxText[] = "OPEN A BOX";
const char kOpenYourBoxText[] = "OPEN YOUR BOX";
const char kOpenLastBoxText[] = "OPEN THE LAST BOX";
const char kWishesText[] = "THE BANKER WISHES TO MAKE A DEAL";
const char kWouldSayText[] = "THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU";
const char kWouldHaveText[] = "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES";
const char kPromptText[] = "PRESS THE DEAL BUTTON OR NO DEAL BUTTON";
const char kDealText[] = "DEAL! NOW CARRY ON AND OPEN THE BOXES";
const char kNoDealText[] = "NO DEAL! NOW CARRY ON AND OPEN THE BOXES";
const char kSwapText[] = "THE BANKER WILL ALLOW YOU TO SWAP YOUR BOX";
const char kEndText[] = "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'";
const char kRevealPrefix[] = "YOU HAVE REVEALED '";

bool IsGameStatus(const std::string& text)
{
    static const std::set<std::string> texts = [] {
        std::set<std::string> all = {kChooseText,   kOpenABoxText, kOpenYourBoxText, kOpenLastBoxText,
                                     kWishesText,   kWouldSayText, kWouldHaveText,   kPromptText,
                                     kDealText,     kNoDealText,   kSwapText,        kEndText};
        char line[64];
        for (int i = 0; i < kBoxCount; ++i) {
            std::snprintf(line, sizeof line, "YOU HAVE CHOSEN BOX '%d'", i + 1);
            all.insert(line);
            std::snprintf(line, sizeof line, "%s%0.2f'", kRevealPrefix,
                          static_cast<double>(kBoxValues[i]));
            all.insert(line);
        }
        return all;
    }();
    return texts.count(text) != 0;
}

bool IsBoxAmountText(const std::string& text)
{
    for (float amount : kBoxValues)
        if (text == FormatMoney(amount))
            return true;
    return false;
}

int BankerCountsUpTo(int picks)
{
    int n = 0;
    for (int count : kBankerCounts)
        n += count <= picks;
    return n;
}

int ChosenBox()
{
    for (int i = 0; i < kBoxCount; ++i)
        if (boxRecords[i].chosen)
            return i;
    return -1;
}

std::string Describe(const char* what, long long a, long long b)
{
    std::ostringstream out;
    out << what << " (" << a << ", " << b << ")";
    return out.str();
}

// What holds whenever the game pumps, in the middle of any sequence: a click
// may have opened its box and not yet counted it.
std::string CheckAtAnyPump()
{
    if (!DealIsPermutation())
        return "the deal is not a permutation of 0..21";
    int chosen = 0, opened = 0;
    for (const BoxRecord& record : boxRecords) {
        chosen += record.chosen;
        opened += record.opened;
    }
    if (chosen > 1)
        return Describe("more than one own box", chosen, 0);
    if (picksMade < 0 || picksMade > 23)
        return Describe("picksMade out of 0..23", picksMade, 0);
    int uncounted = chosen + opened - picksMade;
    if (uncounted != 0 && uncounted != 1)
        return Describe("picksMade against own box + opened boxes", picksMade, chosen + opened);
    if (offerPending && (!IsBankerCount(picksMade) || dealt))
        return Describe("an offer waits off a banker count, or after a deal", picksMade, dealt);
    return "";
}

// What the session has seen of the current game, to check what may only grow.
struct Seen {
    int32_t game = -1;
    BoxRecord boxes[kBoxCount] = {};
    std::vector<std::string> captions;
    std::vector<std::string> history;
    int historyAppendsThisGame = 0;
    std::set<std::string> offersThisGame;
};

class Session {
public:
    explicit Session(uint32_t seed) : random_(seed) {}

    // Runs the actions; returns the first broken invariant with the log tail.
    std::string Run(int actions)
    {
        current_ = this;
        StartProgram();
        for (action_ = 1; action_ <= actions; ++action_) {
            actionStartPump_ = fake::PumpCount();
            ++epoch_;
            GuardTheLastCall();
            Act();
            std::string fault = AfterAction();
            if (!fault.empty())
                return "after action " + std::to_string(action_) + ": " + fault + "\n" + LogTail();
        }
        return "";
    }

    ~Session()
    {
        fake::Reset();   // no event of this session may outlive it
        current_ = nullptr;
    }

    // How far the play went: invariants that hold because play never got
    // anywhere prove nothing.
    int Deals() const { return deals_; }
    int Verdicts() const { return verdicts_; }
    std::string Reach() const
    {
        std::ostringstream out;
        out << games_ + gameNumber << " games, " << deals_ << " deals, " << verdicts_ << " verdicts, "
            << swapQuestions_ << " swap questions, " << closes_ << " closes, "
            << pumps_ + fake::PumpCount() << " pumps";
        return out.str();
    }

private:
    using Event = fake::Event;

    static Session* current_;

    std::mt19937 random_;
    int action_ = 0;
    int epoch_ = 0;
    int actionStartPump_ = 0;
    long long pumps_ = 0;
    long long games_ = 0;
    int deals_ = 0;
    int verdicts_ = 0;
    int swapQuestions_ = 0;
    int closes_ = 0;
    std::deque<std::string> log_;
    std::string pumpFault_;
    size_t closedAtRecord_ = 0;
    std::string lastAskAnswered_;
    Seen seen_;

    int Draw(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }

    void Log(const std::string& line)
    {
        log_.push_back(line);
        if (log_.size() > 60)
            log_.pop_front();
    }

    std::string LogTail() const
    {
        std::string tail = "last actions (events fired inside pumps are indented):\n";
        for (const std::string& line : log_)
            tail += "  " + line + "\n";
        return tail;
    }

    // A fresh program: the fake at start, a random start-up time to seed the
    // deals, the layout, the watch on every pump, and the first deal.
    void StartProgram()
    {
        pumps_ += fake::PumpCount();
        fake::Reset();
        UtcTime start = {static_cast<unsigned short>(Draw(2000, 2040)),
                         static_cast<unsigned short>(Draw(1, 12)), 0,
                         static_cast<unsigned short>(Draw(1, 28)),
                         static_cast<unsigned short>(Draw(0, 23)),
                         static_cast<unsigned short>(Draw(0, 59)),
                         static_cast<unsigned short>(Draw(0, 59)),
                         static_cast<unsigned short>(Draw(0, 999))};
        fake::SetUtcClock(start);
        CaptureFakeLayout();
        // A condition that never holds runs at every pump: the watch.
        fake::When(
            [] {
                if (current_ && current_->pumpFault_.empty()) {
                    std::string fault = CheckAtAnyPump();
                    if (!fault.empty())
                        current_->pumpFault_ = "inside pump " + std::to_string(fake::PumpCount()) +
                                               ": " + fault;
                }
                return false;
            },
            [] {});
        seen_ = Seen{};
        NewGame();
    }

    // The last call waits inside its click for an answer: once the prompt
    // has enabled the buttons, this answers it (or ends the game) so that
    // no click waits for ever. It also ends an action that runs away.
    void GuardTheLastCall()
    {
        int epoch = epoch_;
        int choice = Draw(0, 19);
        fake::When(
            [epoch] {
                Session* s = current_;
                if (!s || s->epoch_ != epoch)
                    return true;   // a guard left from an earlier action: retire it
                if (fake::PumpCount() - s->actionStartPump_ > 1000000)
                    return true;
                return picksMade == 21 && offerPending && fake::ControlState(IDC_DEAL).enabled;
            },
            [epoch, choice] {
                Session* s = current_;
                if (!s || s->epoch_ != epoch)
                    return;
                if (fake::PumpCount() - s->actionStartPump_ > 1000000) {
                    s->pumpFault_ = "a million pumps in one action without an end";
                    s->CloseWindow("runaway");
                    return;
                }
                s->GuardTheLastCall();   // for a further last call, or a runaway, in this action
                if (choice < 8) {
                    s->Fired("last call answered DEAL");
                    fake::ClickDeal();
                } else if (choice < 16) {
                    s->Fired("last call answered NO DEAL");
                    fake::ClickNoDeal();
                } else if (choice < 19) {
                    s->Fired("last call interrupted by NEW GAME yes");
                    fake::ClickNewGame(true);
                } else {
                    s->CloseWindow("last call interrupted by the close");
                }
            });
    }

    void Fired(const std::string& what)
    {
        Log("    [pump " + std::to_string(fake::PumpCount()) + "] " + what);
    }

    void CloseWindow(const std::string& why)
    {
        Fired(why);
        if (!fake::Closed())
            closedAtRecord_ = fake::Record().size();
        fake::Close();
    }

    // Mostly a box the player would click next; often any box in sight,
    // which the game may refuse; now and then any index at all.
    int PickBox()
    {
        std::vector<int> next, inSight;
        for (int i = 0; i < kBoxCount; ++i) {
            if (boxRecords[i].opened)
                continue;
            inSight.push_back(i);
            bool own = boxRecords[i].chosen != 0;
            if (picksMade == 21 ? own : !own || picksMade >= 22)
                next.push_back(i);
        }
        int roll = Draw(0, 99);
        const std::vector<int>& from = roll < 60 ? next : inSight;
        if (roll >= 85 || from.empty()) {
            static const int strays[] = {-1, -2, 22, 23, 1000, -1000};
            return Chance(0.3) ? strays[Draw(0, 5)] : Draw(0, kBoxCount - 1);
        }
        return from[static_cast<size_t>(Draw(0, static_cast<int>(from.size()) - 1))];
    }

    // Something the player (or the queue behind an earlier click) does while
    // a pump or a message box's loop runs. Disabled buttons send nothing.
    std::pair<std::string, Event> RandomEvent(bool inMessageBox)
    {
        std::pair<std::string, Event> event = AnyEvent(inMessageBox);
        Event inner = event.second;
        // A message box's loop runs on after a close, but the window is gone.
        event.second = [inner] {
            if (fake::Closed())
                current_->Fired("(the window is gone)");
            else
                inner();
        };
        return event;
    }

    std::pair<std::string, Event> AnyEvent(bool inMessageBox)
    {
        int kind = Draw(0, inMessageBox ? 11 : 9);
        if (kind == 9 && Chance(0.7))
            kind = 0;   // a close now and then; it ends the program
        switch (kind) {
        case 0:
        case 1:
        case 2:
        case 3: {
            int box = PickBox();
            return {"click box " + std::to_string(box) + " if enabled", [box] {
                        bool enabled = box >= 0 && box < kBoxCount &&
                                       fake::ControlState(IDC_BOX_BUTTON + box).enabled;
                        current_->Fired("click box " + std::to_string(box) +
                                        (enabled ? "" : " (disabled: nothing)"));
                        if (enabled)
                            fake::ClickBox(box);
                    }};
        }
        case 4:
            return {"DEAL if enabled", [] {
                        current_->Fired(fake::ControlState(IDC_DEAL).enabled ? "DEAL" : "DEAL (disabled)");
                        fake::ClickDeal();
                    }};
        case 5:
            return {"NO DEAL if enabled", [] {
                        current_->Fired(fake::ControlState(IDC_NO_DEAL).enabled ? "NO DEAL"
                                                                               : "NO DEAL (disabled)");
                        fake::ClickNoDeal();
                    }};
        case 6:
            return {"a queued DEAL", [] {
                        current_->Fired("a queued DEAL");
                        AnswerDeal();
                    }};
        case 7:
            return {"a queued NO DEAL", [] {
                        current_->Fired("a queued NO DEAL");
                        AnswerNoDeal();
                    }};
        case 8: {
            bool yes = Chance(0.5);
            std::string what = std::string("NEW GAME ") + (yes ? "yes" : "no");
            return {what, [what, yes] {
                        current_->Fired(what);
                        fake::ClickNewGame(yes);
                    }};
        }
        case 9:
            return {"close", [] { current_->CloseWindow("close"); }};
        default: {
            // Only inside a message box: answer the swap question it asks.
            bool yes = Chance(0.5);
            return {std::string("answer the swap question ") + (yes ? "yes" : "no"), [yes] {
                        current_->AnswerSwapQuestion(yes);
                    }};
        }
        }
    }

    // Answers the open question if it is the swap question, once: every
    // other question has its answer queued by whoever asked it.
    void AnswerSwapQuestion(bool yes)
    {
        const std::vector<fake::Op>& record = fake::Record();
        for (size_t k = record.size(); k-- > 0;) {
            if (record[k].kind != "ask" && record[k].kind != "inform")
                continue;
            std::string key = std::to_string(action_) + ":" + std::to_string(k);
            bool swap = record[k].kind == "ask" && record[k].value.find("SWAP") != std::string::npos;
            if (swap && key != lastAskAnswered_) {
                lastAskAnswered_ = key;
                Fired(std::string("swap question answered ") + (yes ? "yes" : "no"));
                fake::AnswerNext(yes);
            } else {
                Fired("swap answer with no swap question open: nothing");
            }
            return;
        }
    }

    // A moment inside a sequence that an event may wait for.
    std::pair<std::string, std::function<bool()>> RandomMoment()
    {
        switch (Draw(0, 11)) {
        case 11:
            return {"a new game's own pump", [] {
                        return picksMade == 0 && fake::Status() == kChooseText;
                    }};
        case 10:
            // The pumps of a banker's sequence between its waits.
            return {"the banker between waits", [] {
                        std::string status = fake::Status();
                        return !busy && (status == kWishesText || status == kWouldSayText ||
                                         status == kSwapText);
                    }};
        case 0: return {"busy", [] { return busy != 0; }};
        case 1: return {"an offer waits", [] { return offerPending != 0; }};
        case 2: return {"DEAL enabled", [] { return fake::ControlState(IDC_DEAL).enabled; }};
        case 3: {
            int picks = Draw(19, 22);
            return {"picksMade " + std::to_string(picks), [picks] { return picksMade == picks; }};
        }
        case 4:
            return {"a reveal shown", [] { return fake::Status().rfind(kRevealPrefix, 0) == 0; }};
        case 5: return {"the swap chance", [] { return fake::Status() == kSwapText; }};
        case 6: {
            int ticks = Draw(1, 2);
            return {"a wait " + std::to_string(ticks) + " ticks in",
                    [ticks] { return busy && waitTickCount == ticks; }};
        }
        case 7: return {"the banker calls", [] { return fake::Status() == kWishesText; }};
        case 8: return {"a would-have call", [] { return fake::Status() == kWouldSayText; }};
        default:
            return {"an answer's pump", [] {
                        return fake::Status() == kDealText || fake::Status() == kNoDealText;
                    }};
        }
    }

    void Begin(const std::string& what) { Log("#" + std::to_string(action_) + " " + what); }

    // One action of the player, or of the clock, from the main loop.
    void Act()
    {
        int roll = Draw(0, 999);
        if (roll < 450) {
            int box = PickBox();
            Begin("click box " + std::to_string(box));
            fake::ClickBox(box);
        } else if (roll < 560) {
            // The player waits for the prompt, then answers; sometimes a
            // second click is already queued behind the first.
            bool deal = Chance(0.4);
            bool queued = Chance(0.25);
            bool secondDeal = Chance(0.5);
            Begin(std::string(offerPending ? "wait for the prompt, then " : "") + (deal ? "DEAL" : "NO DEAL"));
            if (offerPending)
                fake::PumpUntil([] { return fake::ControlState(IDC_DEAL).enabled; }, 6000);
            if (!fake::ControlState(deal ? IDC_DEAL : IDC_NO_DEAL).enabled)
                Log("    disabled: nothing");
            else if (queued)
                fake::AtNextPump([secondDeal] {
                    current_->Fired(secondDeal ? "the queued second DEAL" : "the queued second NO DEAL");
                    secondDeal ? AnswerDeal() : AnswerNoDeal();
                });
            deal ? fake::ClickDeal() : fake::ClickNoDeal();
        } else if (roll < 590) {
            bool deal = Chance(0.5);
            Begin(deal ? "a stray DEAL" : "a stray NO DEAL");
            deal ? AnswerDeal() : AnswerNoDeal();
        } else if (roll < 620) {
            bool yes = roll < 600;
            Begin(std::string("NEW GAME ") + (yes ? "yes" : "no"));
            fake::ClickNewGame(yes);
        } else if (roll < 725) {
            int pumps = Chance(0.5) ? Draw(1, 20) : Draw(100, 6000);
            Begin("clock runs " + std::to_string(pumps) + " pumps");
            fake::PumpUntil([] { return false; }, pumps);
        } else if (roll < 815) {
            int ahead = Chance(0.6) ? Draw(1, 40) : Draw(41, 12000);
            std::pair<std::string, Event> event = RandomEvent(false);
            Begin("at pump " + std::to_string(fake::PumpCount() + ahead) + ": " + event.first);
            fake::AtPump(fake::PumpCount() + ahead, event.second);
        } else if (roll < 905) {
            std::pair<std::string, std::function<bool()>> moment = RandomMoment();
            std::pair<std::string, Event> event = RandomEvent(false);
            int deadline = fake::PumpCount() + 30000;
            std::function<bool()> when = moment.second;
            Event what = event.second;
            Begin("when " + moment.first + ": " + event.first);
            fake::When([when, deadline] { return when() || fake::PumpCount() > deadline; },
                       [what, deadline] {
                           if (fake::PumpCount() <= deadline)
                               what();
                       });
        } else if (roll < 998) {
            std::pair<std::string, Event> event = RandomEvent(true);
            Begin("in the next message box: " + event.first);
            fake::InNextMessageBox(event.second);
        } else {
            Begin("close");
            fake::Close();
            closedAtRecord_ = fake::Record().size();
            PumpMessages();   // the main loop takes the quit message
        }
    }

    // Checks after each action; a closed window starts a fresh program.
    std::string AfterAction()
    {
        if (!pumpFault_.empty())
            return pumpFault_;
        std::string fault = ReadRecord();
        if (!fault.empty())
            return fault;
        if (fake::Closed()) {
            const std::vector<fake::Op>& record = fake::Record();
            for (size_t k = closedAtRecord_; k < record.size(); ++k) {
                const fake::Op& op = record[k];
                if (op.kind == "sound" || op.kind == "ask" || op.kind == "inform")
                    return "after the close: " + op.kind + " " + std::to_string(op.control) + " " +
                           op.value;
            }
            ++closes_;
            games_ += gameNumber;
            StartProgram();
            fault = ReadRecord();
        }
        if (fault.empty())
            fault = CheckAtRest();
        fake::ClearRecord();
        return fault;
    }

    // Walks the operations of the action: every status text is one of the
    // game's, and the win history gains at most one line per game.
    std::string ReadRecord()
    {
        for (const fake::Op& op : fake::Record()) {
            if (op.kind == "status" && !IsGameStatus(op.value))
                return "a status that is not the game's: '" + op.value + "'";
            deals_ += op.kind == "status" && op.value == kDealText;
            swapQuestions_ += op.kind == "ask" && op.value.find("SWAP") != std::string::npos;
            if (op.kind == "empty" && op.control == IDC_OFFER_LIST) {
                seen_.historyAppendsThisGame = 0;
                seen_.offersThisGame.clear();
            }
            if (op.kind == "append" && op.control == IDC_OFFER_LIST)
                seen_.offersThisGame.insert(op.value);
            if (op.kind == "append" && op.control == IDC_WIN_HISTORY) {
                ++verdicts_;
                if (++seen_.historyAppendsThisGame > 1)
                    return "a second win-history line in one game: " + op.value;
                if (!IsBoxAmountText(op.value) && !seen_.offersThisGame.count(op.value))
                    return "a win-history line that is neither a box amount nor an offer: " + op.value;
            }
        }
        return "";
    }

    // What holds between actions, when no sequence runs.
    std::string CheckAtRest()
    {
        std::string fault = CheckAtAnyPump();
        if (!fault.empty())
            return fault;

        int own = ChosenBox();
        int opened = 0;
        for (const BoxRecord& record : boxRecords)
            opened += record.opened;
        if (picksMade != (own >= 0 ? 1 : 0) + opened)
            return Describe("picksMade against own box + opened boxes", picksMade,
                            (own >= 0 ? 1 : 0) + opened);
        if ((own >= 0) != (ownBoxChosen != 0))
            return Describe("ownBoxChosen against the records", ownBoxChosen, own);
        if (own >= 0 && boxRecords[own].opened && picksMade < 22)
            return Describe("own box opened before its turn", own + 1, picksMade);
        if (offerPending && picksMade == 21)
            return "a click ended with the last call unanswered";
        if (busy)
            return "busy with no sequence running";

        bool dealOn = fake::ControlState(IDC_DEAL).enabled;
        bool noDealOn = fake::ControlState(IDC_NO_DEAL).enabled;
        if ((dealOn || noDealOn) && !offerPending)
            return Describe("DEAL / NO DEAL enabled with no offer waiting", dealOn, noDealOn);

        if (!(fault = CheckBoard(own)).empty() || !(fault = CheckStatus()).empty() ||
            !(fault = CheckMoneyDisplays(own)).empty() || !(fault = CheckAgainstSeen(own)).empty())
            return fault;
        Remember();
        return "";
    }

    std::string CheckBoard(int own)
    {
        std::vector<int> renamed;
        for (int i = 0; i < kBoxCount; ++i) {
            const BoxRecord& record = boxRecords[i];
            const fake::Control& button = fake::ControlState(IDC_BOX_BUTTON + i);
            const fake::Control& picture = fake::ControlState(IDC_BOX_PICTURE + i);
            std::string box = "box " + std::to_string(i + 1) + ": ";
            if (!button.enabled)
                return box + "button left disabled";
            int bx = ButtonX(i), by = 20, px = PictureX(i), py = 10;
            if (record.chosen) {
                bx = kOwnButtonX, by = kOwnButtonY, px = kOwnPictureX, py = kOwnPictureY;
            }
            if (record.opened)
                bx = by = kOutOfSight;
            if (button.x != bx || button.y != by)
                return box + Describe("button at", button.x, button.y);
            if (picture.x != px || picture.y != py)
                return box + Describe("picture at", picture.x, picture.y);
            int bitmap = record.opened ? IDB_OPEN_BOX_BASE + static_cast<int>(record.valueIndex)
                                       : IDB_CLOSED_BOX;
            if (picture.picture != bitmap)
                return box + Describe("picture shows bitmap", picture.picture, bitmap);
            if (button.text != std::to_string(i + 1))
                renamed.push_back(i);
        }
        // Only the swap renames buttons: the own box's and one other's, crosswise.
        if (!renamed.empty()) {
            bool swapped = renamed.size() == 2 && picksMade >= 21 &&
                           (renamed[0] == own || renamed[1] == own) &&
                           fake::ControlState(IDC_BOX_BUTTON + renamed[0]).text == std::to_string(renamed[1] + 1) &&
                           fake::ControlState(IDC_BOX_BUTTON + renamed[1]).text == std::to_string(renamed[0] + 1);
            if (!swapped)
                return "box " + std::to_string(renamed[0] + 1) + " has the caption '" +
                       fake::ControlState(IDC_BOX_BUTTON + renamed[0]).text + "' without a swap";
        }

        // The plates out of sight are exactly those of the opened amounts.
        for (int i = 0; i < kBoxCount; ++i) {
            int v = static_cast<int>(boxRecords[i].valueIndex);
            const fake::Control& plate = fake::ControlState(IDC_BOARD_VALUE + v);
            bool gone = plate.x == kOutOfSight && plate.y == kOutOfSight;
            if (gone != (boxRecords[i].opened != 0))
                return "plate of " + std::string(FormatMoney(kBoxValues[v])) +
                       (gone ? " out of sight, its box closed" : " on the board, its box open");
            if (!gone && (plate.x != BoardX(v) || plate.y != 30))
                return Describe("plate moved", plate.x, plate.y);
        }
        return "";
    }

    // The status at rest follows from the phase of the game.
    std::string CheckStatus()
    {
        std::string status = fake::Status();
        bool ok;
        if (picksMade == 0)
            ok = status == kChooseText;
        else if (offerPending)
            ok = status == kWishesText || status == kPromptText;
        else if (picksMade == 21)
            ok = status == kOpenYourBoxText;
        else if (picksMade == 22)
            ok = status == kOpenLastBoxText;
        else if (picksMade == 23)
            ok = status == kEndText;
        else if (!dealt)
            ok = status == kOpenABoxText || status == kNoDealText;
        else
            ok = status == kDealText || status == kWouldHaveText || status.rfind(kRevealPrefix, 0) == 0;
        if (!ok)
            return "status '" + status + "' at picksMade " + std::to_string(picksMade) +
                   (offerPending ? " with an offer waiting" : "") + (dealt ? " after a deal" : "");
        return "";
    }

    std::string CheckMoneyDisplays(int own)
    {
        const std::vector<std::string>& offers = fake::ControlState(IDC_OFFER_LIST).lines;
        if (static_cast<int>(offers.size()) != BankerCountsUpTo(picksMade))
            return Describe("offer lines against banker counts reached",
                            static_cast<long long>(offers.size()), BankerCountsUpTo(picksMade));
        std::string lastOfferText = FormatMoney(lastOffer);
        if (!offers.empty() && offers.back() != lastOfferText)
            return "last offer line " + offers.back() + " but lastOffer shows " + lastOfferText;
        std::string offerShown = fake::ControlState(IDC_OFFER).text;
        bool offerOk = offerShown.empty() || (offerShown == "\xA3" && offers.empty()) ||
                       (offerShown == lastOfferText && !offers.empty());
        if (!offerOk || (offerPending && offerShown != lastOfferText))
            return "offer display '" + offerShown + "'";

        std::string bank = fake::ControlState(IDC_BANK).text;
        const std::vector<std::string>& history = fake::ControlState(IDC_WIN_HISTORY).lines;
        if (dealt || picksMade >= 22) {
            if (bank != FormatMoney(dealAmount))
                return "bank display '" + bank + "' for dealAmount " + std::to_string(dealAmount);
            if (dealt && !seen_.offersThisGame.count(bank))
                return "banked " + bank + ", which the banker never offered in this game";
            if (!dealt && own >= 0 && dealAmount != kBoxValues[boxRecords[own].valueIndex])
                return "without a deal the player takes other than the own box's amount";
        } else if (bank != "\xA3" "0.00" || dealAmount != 0.0f) {
            return "bank display '" + bank + "' before any deal or verdict";
        }
        if (picksMade >= 22) {
            if (seen_.historyAppendsThisGame != 1 || history.empty() || history.back() != bank)
                return "the verdict's win-history line does not match the bank display";
        } else if (seen_.historyAppendsThisGame != 0) {
            return "a win-history line before the verdict";
        }
        return "";
    }

    // Within one game: opened only grows, the own box stays, and amounts
    // move only by the swap, which also exchanges the two captions.
    std::string CheckAgainstSeen(int own)
    {
        const std::vector<std::string>& history = fake::ControlState(IDC_WIN_HISTORY).lines;
        if (history.size() < seen_.history.size() ||
            !std::equal(seen_.history.begin(), seen_.history.end(), history.begin()))
            return "the win history lost or changed a line";
        if (seen_.game != gameNumber)
            return "";
        std::vector<int> moved;
        for (int i = 0; i < kBoxCount; ++i) {
            const BoxRecord& before = seen_.boxes[i];
            const BoxRecord& now = boxRecords[i];
            if (before.opened && !now.opened)
                return Describe("a box closed again", i + 1, picksMade);
            if (before.chosen && !now.chosen)
                return Describe("the own box changed", i + 1, own + 1);
            if (before.valueIndex != now.valueIndex)
                moved.push_back(i);
        }
        if (moved.empty())
            return "";
        if (moved.size() != 2 || own < 0 || picksMade < 21 ||
            (moved[0] != own && moved[1] != own))
            return Describe("amounts moved other than by the swap", static_cast<long long>(moved.size()),
                            picksMade);
        int a = moved[0], b = moved[1];
        if (boxRecords[a].valueIndex != seen_.boxes[b].valueIndex ||
            boxRecords[b].valueIndex != seen_.boxes[a].valueIndex)
            return "a swap that did not exchange the two amounts";
        if (seen_.boxes[a].opened || seen_.boxes[b].opened)
            return "a swap with a box already open";
        if (fake::ControlState(IDC_BOX_BUTTON + a).text != seen_.captions[b] ||
            fake::ControlState(IDC_BOX_BUTTON + b).text != seen_.captions[a])
            return "a swap that did not exchange the two captions";
        return "";
    }

    void Remember()
    {
        seen_.game = gameNumber;
        std::copy(std::begin(boxRecords), std::end(boxRecords), std::begin(seen_.boxes));
        seen_.captions.clear();
        for (int i = 0; i < kBoxCount; ++i)
            seen_.captions.push_back(fake::ControlState(IDC_BOX_BUTTON + i).text);
        seen_.history = fake::ControlState(IDC_WIN_HISTORY).lines;
    }
};

Session* Session::current_ = nullptr;

TEST(RandomPlay, InvariantsHoldAfterEveryAction)
{
    uint32_t seed = RunSeed();
    Session session(seed);
    std::string fault = session.Run(10000);
    if (!fault.empty())
        ADD_FAILURE() << "QUORVANT_SEED=" << seed << " " << fault;
    std::cout << "[   PLAY   ] " << session.Reach() << std::endl;
    EXPECT_GT(session.Deals(), 0) << "QUORVANT_SEED=" << seed;
    EXPECT_GT(session.Verdicts(), 0) << "QUORVANT_SEED=" << seed;
}

}  // namespace
