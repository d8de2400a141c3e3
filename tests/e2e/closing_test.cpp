// Closing at any moment: runs that close the window in the middle of a game's
// steps, each of which must end the program with code 0 within 8 seconds.
#include <algorithm>
#include <functional>
#include <map>

#include "tests/e2e/reliability.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

const int kCloseExitLimit = 8000;
// Reaching the end of a game takes six banker's calls.
const int kGameLimit = 240000;
const int kEarlyLimit = 60000;

static bool IsVerdict(const Glance& glance)
{
    return glance.boxCaption == "CONGRATULATIONS" || glance.boxCaption == "UNLUCKY";
}

static bool OwnChosen(const Glance& glance)
{
    return glance.ownBox >= 0;
}

static int Opened(const Glance& glance)
{
    return kBoxes - static_cast<int>(glance.others.size()) - (glance.ownBox >= 0 ? 1 : 0);
}

static bool CallRunning(const Glance& glance)
{
    return (glance.status == kWishes || glance.status == kWants) && glance.offer.empty() && !glance.messageBox;
}

// One run: the game is brought to a moment, then closed there.
struct Run {
    Game& game;
    std::mt19937& random;
    PlayStyle style;
    std::string moment;   // what the run reached, named for the report

    Glance Until(const std::function<bool(const Glance&)>& stop, int limit, const std::string& what)
    {
        return PlayUntil(game, random, style, stop, limit, what);
    }

    void Pause(int lowMs, int highMs) { Sleep(static_cast<DWORD>(Pick(random, lowMs, highMs))); }

    // Opens boxes up to `count` open boxes, short of the first call at five.
    void OpenSome(int count)
    {
        Until(OwnChosen, kEarlyLimit, "choosing the own box");
        Until([&](const Glance& g) { return Opened(g) >= count && ReadyForBox(g); }, kEarlyLimit,
              Format("opening %d boxes", count));
    }

    void Idle()
    {
        moment = "the first deal on show";
        Pause(0, 2000);
    }

    void Reveal()
    {
        OpenSome(Pick(random, 0, 3));
        Glance glance = Look(game);
        moment = "a box click in flight";
        PlayMove(game, random, style, glance);
        Pause(0, 40);
    }

    void StartAgain()
    {
        if (Chance(random, 0.5)) {
            OpenSome(Pick(random, 0, 4));
            moment = "START AGAIN? open";
        } else {
            Until(CallRunning, kEarlyLimit, "a banker's call");
            moment = "START AGAIN? open in a banker's call";
        }
        Require(game.Click(IDC_NEW_GAME), game.Error());
        Require(WaitForMessageBox(game, "NEW GAME") != nullptr, "no START AGAIN? question");
        Pause(0, 1000);
    }

    void BankerCall()
    {
        Until(CallRunning, kEarlyLimit, "a banker's call");
        moment = "a banker's call: rings and waits";
        Pause(0, 6000);
    }

    void Prompt()
    {
        Until([](const Glance& g) { return g.dealEnabled; }, kEarlyLimit, "a prompted offer");
        moment = "an offer prompted";
        Pause(0, 3000);
    }

    void Answer()
    {
        Until([](const Glance& g) { return g.dealEnabled; }, kEarlyLimit, "a prompted offer");
        style.dealAtFirstOffer = Chance(random, 0.5);
        moment = style.dealAtFirstOffer ? "a DEAL click in flight" : "a NO DEAL click in flight";
        Require(game.Click(style.dealAtFirstOffer ? IDC_DEAL : IDC_NO_DEAL), game.Error());
        Pause(0, 40);
    }

    void WouldHave()
    {
        style.dealAtFirstOffer = true;
        Until([](const Glance& g) { return g.status == kWants && g.offer.empty(); }, kEarlyLimit * 2,
              "a call after a deal");
        moment = "a would-have call: rings and waits";
        Pause(0, 5000);
    }

    void LastAnswer()
    {
        style.dealAtFirstOffer = false;
        Until([](const Glance& g) { return g.dealEnabled && g.others.size() == 1 && g.ownBox >= 0; }, kGameLimit,
              "the last offer");
        moment = "the wait for the last answer";
        Pause(0, 3000);
    }

    // The swap comes one game in four. The soak plays further games until it
    // comes; the short form, and a soak that never sees it, close at the verdict.
    void Swap(bool question)
    {
        const int games = Soaking() ? 6 : 1;
        Glance glance;
        for (int played = 1;; ++played) {
            glance = Until([](const Glance& g) {
                return g.status == kSwapChance || g.boxCaption == "BANKER ASKS ..." || IsVerdict(g);
            }, kGameLimit, "the swap chance or the verdict");
            if (!IsVerdict(glance) || played == games)
                break;
            Until([](const Glance& g) { return g.status == kGameOver; }, kGameLimit, "the end of the game");
            AnswerStartAgain(game, IDYES);
            Until([](const Glance& g) { return g.status == kChoose; }, kEarlyLimit, "a fresh deal");
        }
        if (IsVerdict(glance)) {
            moment = "a verdict open (no swap offered)";
        } else if (!question) {
            moment = "the swap chance: rings and waits";
            Pause(0, 4000);
            return;
        } else {
            Until([](const Glance& g) { return g.boxCaption == "BANKER ASKS ..."; }, kEarlyLimit, "the swap question");
            moment = "the swap question open";
        }
        Pause(0, 1000);
    }

    void Verdict()
    {
        Until(IsVerdict, kGameLimit, "the verdict");
        moment = "a verdict open";
        Pause(0, 1000);
    }

    void LastBox()
    {
        Until([](const Glance& g) { return g.ownBox < 0 && g.others.size() == 1 && ReadyForBox(g); }, kGameLimit,
              "the last box");
        moment = "the last box's click in flight";
        PlayMove(game, random, style, Look(game));
        Pause(0, 40);
    }

    void GameOver()
    {
        Until([](const Glance& g) { return g.status == kGameOver; }, kGameLimit, "the end of the game");
        moment = "the game over";
        Pause(0, 1000);
    }
};

struct Moment {
    const char* name;
    bool late;   // needs a whole game
    void (*reach)(Run&);
};

static const Moment kMoments[] = {
    {"idle", false, [](Run& run) { run.Idle(); }},
    {"reveal", false, [](Run& run) { run.Reveal(); }},
    {"start again", false, [](Run& run) { run.StartAgain(); }},
    {"banker's call", false, [](Run& run) { run.BankerCall(); }},
    {"prompt", false, [](Run& run) { run.Prompt(); }},
    {"answer", false, [](Run& run) { run.Answer(); }},
    {"would-have call", false, [](Run& run) { run.WouldHave(); }},
    {"last answer", true, [](Run& run) { run.LastAnswer(); }},
    {"swap chance", true, [](Run& run) { run.Swap(false); }},
    {"swap question", true, [](Run& run) { run.Swap(true); }},
    {"verdict", true, [](Run& run) { run.Verdict(); }},
    {"last box", true, [](Run& run) { run.LastBox(); }},
    {"game over", true, [](Run& run) { run.GameOver(); }},
};

// Closes one game at the moment `row` names; returns what it reached, "" when it did not.
static std::string CloseAt(const Moment& row, std::mt19937& random, bool altF4)
{
    Game game;
    StartOrAbort(game);
    Run run{game, random, PlayStyle{}, ""};
    run.style.swapAnswer = Chance(random, 0.5) ? IDYES : IDNO;
    try {
        row.reach(run);
    } catch (const CaseAbort& abort) {
        Check(false, Format("moment \"%s\" not reached: %s", row.name, abort.reason.c_str()));
        return std::string();
    }
    std::string status = game.Text(IDC_STATUS);
    bool sent = altF4 ? game.PressAltF4() : game.PostClose();
    std::string how = altF4 ? "Alt+F4" : "WM_CLOSE";
    if (!Check(sent, Format("%s could not be sent at \"%s\": %s", how.c_str(), run.moment.c_str(), game.Error().c_str())))
        return std::string();
    DWORD code = 0;
    DWORD start = GetTickCount();
    bool ended = game.WaitExit(kCloseExitLimit, &code);
    DWORD took = GetTickCount() - start;
    bool ok = Check(ended, Format("%s at \"%s\" (status \"%s\"): the game still runs after %d ms", how.c_str(),
                                 run.moment.c_str(), Printable(status).c_str(), kCloseExitLimit)) &&
              CheckInt(code, 0, Format("exit code after %s at \"%s\"", how.c_str(), run.moment.c_str()));
    if (!ok)
        return std::string();
    Note(Format("closed at \"%s\" by %s: code 0 after %lu ms", run.moment.c_str(), how.c_str(), took));
    return run.moment;
}

static void CloseAtAnyMoment()
{
    std::mt19937 random = SeededRandom("closing");
    // The short form closes once at each early moment but the idle one, which
    // every other group's closing covers, and once late in a game; the soak
    // three times at each early moment and at least once at each late one.
    std::vector<const Moment*> plan, late;
    for (const Moment& row : kMoments) {
        if (row.late)
            late.push_back(&row);
        else if (Soaking())
            plan.insert(plan.end(), 3, &row);
        else if (&row != &kMoments[0])
            plan.push_back(&row);
    }
    if (Soaking())
        plan.insert(plan.end(), late.begin(), late.end());
    for (int extra = Soaking() ? 3 : 1; extra > 0; --extra)
        plan.push_back(late[Pick(random, 0, static_cast<int>(late.size()) - 1)]);
    std::shuffle(plan.begin(), plan.end(), random);

    std::map<std::string, int> reached;
    int tried = 0, closedWell = 0, altF4s = 0;
    for (const Moment* row : plan) {
        bool altF4 = Chance(random, 0.5);
        std::string result = CloseAt(*row, random, altF4);
        ++tried;
        altF4s += altF4;
        if (!result.empty()) {
            ++closedWell;
            ++reached[result];
        }
    }
    std::string kinds;
    for (const auto& kind : reached)
        kinds += Format("%s%s %d", kinds.empty() ? "" : ", ", kind.first.c_str(), kind.second);
    Note(Format("closing figures: %d runs (%d by Alt+F4, %d by WM_CLOSE), %d ended with code 0 in time; moments: %s",
                tried, altF4s, tried - altF4s, closedWell, kinds.c_str()));
}

std::vector<TestCase> ClosingTests()
{
    return {{"closing at any moment of a game ends the program with code 0 within 8 s", CloseAtAnyMoment}};
}

}  // namespace e2e
