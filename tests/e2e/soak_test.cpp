// Long sessions: many new games and whole games in one run of the game, with
// its memory, handles and GDI objects sampled after each.
#include <algorithm>
#include <set>

#include "tests/e2e/reliability.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

const int kGameLimitMs = 240000;
const int kRoundLimitMs = 30000;

// The sound library's threads come and go for a second or two, each with a
// stack of a few megabytes and a handle; the least reading of each block of
// games is the game's own floor.
const size_t kBlock = 5;

// Allowed growth per game of the floor, fitted after the warm-up; the reasons
// are in docs/reliability.md. Memory grows in the allocator's 64 KB steps, so
// a short run cannot tell a leak from the artwork still being loaded: it
// reports memory and judges only the counts.
struct Limits {
    double bytes;      // 0: reported, not judged
    double handles;
    double gdi;
};
const Limits kSoakLimits = {1024, 0.02, 0.02};
const Limits kShortLimits = {0, 0.2, 0.2};

struct Series {
    std::vector<double> bytes, handles, gdi;
    void Add(const Figures& figures, size_t artworkShown)
    {
        bytes.push_back(figures.privateBytes);
        handles.push_back(figures.handles);
        // The game keeps one bitmap per artwork it has shown, loaded the
        // first time: those are not growth.
        gdi.push_back(figures.gdiObjects - static_cast<double>(artworkShown));
    }
};

static Figures Sample(const Game& game, std::string* source)
{
    Figures figures;
    std::string error;
    bool read = ReadFigures(game.Pid(), &figures, source, &error);
    Require(read, error);
    return figures;
}

static bool FreshBoard(const Glance& glance)
{
    return glance.status == "CHOOSE YOUR OWN BOX" && glance.ownBox < 0 && glance.others.size() == kBoxes;
}

static void ConfirmNewGame(Game& game, const std::string& when)
{
    AnswerStartAgain(game, IDYES);
    bool fresh = WaitFor([&] { return FreshBoard(Look(game)); }, kStepTimeout);
    Require(fresh, when + ": NEW GAME did not deal a fresh board; the status reads \"" +
                       Printable(game.Text(IDC_STATUS)) + "\"");
}

// Growth per game of the floor: the least value of each block of games,
// fitted by least squares.
static double FloorSlope(const std::vector<double>& ys, size_t from)
{
    std::vector<double> floors;
    for (size_t start = from; start + kBlock <= ys.size(); start += kBlock)
        floors.push_back(*std::min_element(ys.begin() + static_cast<std::ptrdiff_t>(start),
                                           ys.begin() + static_cast<std::ptrdiff_t>(start + kBlock)));
    Require(floors.size() >= 2, "too few games after the warm-up for a fit");
    return Slope(floors) / kBlock;
}

static void Judge(const char* name, const char* unit, const std::vector<double>& ys, size_t from, double limit)
{
    double slope = FloorSlope(ys, from);
    Note(Format("%s: %.0f at the start, %.0f after the warm-up, %.0f at the end; floor growth %.3f %s per game "
                "over %lu games (%s)",
                name, ys.front(), ys[from], ys.back(), slope, unit, static_cast<unsigned long>(ys.size() - from),
                limit > 0 ? Format("limit %.3f", limit).c_str() : "not judged in the short form"));
    if (limit > 0)
        Check(slope <= limit, Format("%s grow %.3f %s per game, over the limit of %.3f", name, slope, unit, limit));
}

static void ArtworkShown(const Game& game, std::set<int>* shown)
{
    for (int v = 0; v < kBoxes; ++v)
        if (!InSight(game.ClientRect(IDC_BOARD_VALUE + v)))
            shown->insert(v);
}

static void LongSession()
{
    std::mt19937 random = SeededRandom("session");
    const bool soak = Soaking();
    const int newGames = soak ? 300 : 20;
    const int wholeGames = soak ? 4 : 0;
    const Limits& limits = soak ? kSoakLimits : kShortLimits;
    Game game;
    StartOrAbort(game);
    std::string source;
    std::set<int> artwork;
    Series rounds;
    // Memory is fitted once every opened box's artwork has been loaded.
    size_t warmUp = 0, memoryWarmUp = 0;
    PlayStyle style;
    for (int round = 1; round <= newGames; ++round) {
        // A choice and two reveals change three pictures; NEW GAME puts them back.
        PlayUntil(game, random, style, [](const Glance& g) { return g.ownBox >= 0 && ReadyForBox(g); },
                  kRoundLimitMs, Format("round %d: choosing", round));
        PlayUntil(game, random, style, [](const Glance& g) { return g.others.size() <= kBoxes - 3 && ReadyForBox(g); },
                  kRoundLimitMs, Format("round %d: opening two boxes", round));
        ArtworkShown(game, &artwork);
        ConfirmNewGame(game, Format("round %d", round));
        rounds.Add(Sample(game, &source), artwork.size());
        if (round == static_cast<int>(kBlock))
            warmUp = rounds.bytes.size();
        if (!memoryWarmUp && artwork.size() == kBoxes && round >= 10)
            memoryWarmUp = rounds.bytes.size();
    }
    Note(Format("%d NEW GAMEs after a choice and two reveals each; figures from %s", newGames, source.c_str()));
    if (memoryWarmUp && rounds.bytes.size() - memoryWarmUp >= 2 * kBlock) {
        Judge("private memory", "bytes", rounds.bytes, memoryWarmUp, limits.bytes);
    } else {
        Judge("private memory", "bytes", rounds.bytes, warmUp, 0);
        Check(!soak, "the soak never showed every box artwork; memory was not judged");
    }
    Judge("handles", "handles", rounds.handles, warmUp, limits.handles);
    Judge("GDI objects beyond one per artwork shown", "objects", rounds.gdi, warmUp, limits.gdi);

    // Whole games add banker's calls, offers, the swap, the verdict and the history.
    Series whole;
    for (int n = 1; n <= wholeGames; ++n) {
        style.dealAtFirstOffer = Chance(random, 0.5);
        style.swapAnswer = Chance(random, 0.5) ? IDYES : IDNO;
        PlayUntil(game, random, style,
                  [](const Glance& g) { return g.status == "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'"; },
                  kGameLimitMs, Format("whole game %d", n));
        CheckInt(static_cast<long long>(game.ListLines(IDC_WIN_HISTORY).size()), n, "lines in the win history");
        ConfirmNewGame(game, Format("after whole game %d", n));
        whole.Add(Sample(game, &source), kBoxes);
    }
    if (wholeGames > 1) {
        // Too few for a fit: the change from the first game's end to the last's.
        auto perGame = [&](const std::vector<double>& ys) { return (ys.back() - ys.front()) / (wholeGames - 1); };
        Note(Format("%d whole games: private memory %+.0f bytes, handles %+.2f, GDI objects %+.2f per game",
                    wholeGames, perGame(whole.bytes), perGame(whole.handles), perGame(whole.gdi)));
        // A thread of the sound library may hold one handle at either end.
        Check(perGame(whole.handles) * (wholeGames - 1) <= 1, "handles grow over whole games");
        Check(perGame(whole.gdi) <= 0, "GDI objects grow over whole games");
    }
    CloseAndCheckExit(game);
}

std::vector<TestCase> SessionTests()
{
    return {{"many new games and whole games leave memory, handles and GDI objects flat", LongSession}};
}

}  // namespace e2e
