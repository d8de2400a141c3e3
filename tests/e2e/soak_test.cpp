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
const size_t kFewestQuietSamples = 3;

// Allowed growth per game, fitted after the warm-up; the reasons are in
// docs/reliability.md.
struct Limits {
    double bytes;
    double handles;
    double gdi;
};
const Limits kSoakLimits = {1024, 0.02, 0.02};
// A short run has few samples and may still be loading artwork, whose heap
// grows in 64 KB steps: it catches leaks of the size of a box bitmap.
const Limits kShortLimits = {32768, 0.2, 0.2};

struct Sample {
    double game;            // NEW GAMEs confirmed before it
    Figures figures;
    double artworkShown;    // distinct opened-box pictures shown so far
};

// A least-squares fit of one figure against the game count.
struct Fit {
    std::vector<double> games, values;
    double Slope() const { return e2e::Slope(games, values); }
};

static bool FreshBoard(const Glance& glance)
{
    return glance.status == kChoose && glance.ownBox < 0 && glance.others.size() == kBoxes;
}

static void ConfirmNewGame(Game& game, const std::string& when)
{
    AnswerStartAgain(game, IDYES);
    bool fresh = WaitFor([&] { return FreshBoard(Look(game)); }, kStepTimeout);
    Require(fresh, when + ": NEW GAME did not deal a fresh board; the status reads \"" +
                       Printable(game.Text(IDC_STATUS)) + "\"");
}

static Sample Take(const Game& game, double games, size_t artworkShown, std::string* source)
{
    Sample sample{games, {}, static_cast<double>(artworkShown)};
    std::string error;
    bool read = ReadFigures(game.Pid(), &sample.figures, source, &error);
    Require(read, error);
    return sample;
}

static void Judge(const char* name, const char* unit, const Fit& fit, double limit)
{
    if (fit.values.size() < kFewestQuietSamples) {
        Note(Format("%s: only %lu samples to fit; not judged", name, static_cast<unsigned long>(fit.values.size())));
        Check(!Soaking(), Format("the soak took too few samples of %s", name));
        return;
    }
    double slope = fit.Slope();
    Note(Format("%s: %.0f at game %.0f, %.0f at game %.0f; growth %.3f %s per game fitted over %lu samples "
                "(limit %.3f)",
                name, fit.values.front(), fit.games.front(), fit.values.back(), fit.games.back(), slope, unit,
                static_cast<unsigned long>(fit.values.size()), limit));
    Check(slope <= limit, Format("%s grow %.3f %s per game, over the limit of %.3f", name, slope, unit, limit));
}

static void ArtworkShown(const Game& game, std::set<int>* shown)
{
    for (int v = 0; v < kBoxes; ++v)
        if (!InSight(game.ClientRect(IDC_BOARD_VALUE + v)))
            shown->insert(v);
}

// The sound library starts a thread for each sound, which may live for
// seconds with 3 MB of stack and a handle; memory and handles are fitted over
// the samples taken while the game is down to its fewest threads. The game's
// bitmaps are loaded once per artwork, the first time it is shown; GDI
// objects are fitted net of those.
static void JudgeSamples(const std::vector<Sample>& samples, const Limits& limits, double memoryFrom)
{
    double fewest = samples.front().figures.threads;
    for (const Sample& sample : samples)
        fewest = std::min(fewest, sample.figures.threads);
    Fit bytes, handles, gdi;
    size_t quiet = 0;
    for (const Sample& sample : samples) {
        gdi.games.push_back(sample.game);
        gdi.values.push_back(sample.figures.gdiObjects - sample.artworkShown);
        if (sample.figures.threads > fewest)
            continue;
        ++quiet;
        handles.games.push_back(sample.game);
        handles.values.push_back(sample.figures.handles);
        if (sample.game >= memoryFrom) {
            bytes.games.push_back(sample.game);
            bytes.values.push_back(sample.figures.privateBytes);
        }
    }
    Note(Format("%lu of %lu samples found the game at its fewest threads (%.0f)", static_cast<unsigned long>(quiet),
                static_cast<unsigned long>(samples.size()), fewest));
    Judge("private memory", "bytes", bytes, limits.bytes);
    Judge("handles", "handles", handles, limits.handles);
    Judge("GDI objects beyond one per artwork shown", "objects", gdi, limits.gdi);
}

static void LongSession()
{
    std::mt19937 random = SeededRandom("session");
    const bool soak = Soaking();
    const int newGames = soak ? 300 : 20;
    const int wholeGames = soak ? 4 : 0;
    const size_t warmUp = 5;
    Game game;
    StartOrAbort(game);
    std::string source;
    std::set<int> artwork;
    std::vector<Sample> samples;
    // Memory is fitted once every opened box's artwork has been loaded, or,
    // in a short run, from its tenth game.
    double memoryFrom = 0;
    PlayStyle style;
    for (int round = 1; round <= newGames; ++round) {
        // A choice and two reveals change three pictures; NEW GAME puts them back.
        PlayUntil(game, random, style, [](const Glance& g) { return g.ownBox >= 0 && ReadyForBox(g); },
                  kRoundLimitMs, Format("round %d: choosing", round));
        PlayUntil(game, random, style, [](const Glance& g) { return g.others.size() <= kBoxes - 3 && ReadyForBox(g); },
                  kRoundLimitMs, Format("round %d: opening two boxes", round));
        ArtworkShown(game, &artwork);
        ConfirmNewGame(game, Format("round %d", round));
        if (round <= static_cast<int>(warmUp))
            continue;
        samples.push_back(Take(game, round, artwork.size(), &source));
        if (!memoryFrom && round >= 10 && (artwork.size() == kBoxes || !soak))
            memoryFrom = round;
    }
    Note(Format("%d NEW GAMEs after a choice and two reveals each, sampled after each from game %lu; figures from %s",
                newGames, static_cast<unsigned long>(warmUp + 1), source.c_str()));
    Require(memoryFrom > 0, "the session never showed every box artwork; memory cannot be judged");
    JudgeSamples(samples, soak ? kSoakLimits : kShortLimits, memoryFrom);

    // Whole games add banker's calls, offers, the swap, the verdict and the
    // history: too few for a fit, their figures are reported beside the last
    // NEW GAME's.
    for (int n = 1; n <= wholeGames; ++n) {
        style.dealAtFirstOffer = Chance(random, 0.5);
        style.swapAnswer = Chance(random, 0.5) ? IDYES : IDNO;
        PlayUntil(game, random, style,
                  [](const Glance& g) { return g.status == kGameOver; },
                  kGameLimitMs, Format("whole game %d", n));
        CheckInt(static_cast<long long>(game.ListLines(IDC_WIN_HISTORY).size()), n, "lines in the win history");
        ConfirmNewGame(game, Format("after whole game %d", n));
        Sample after = Take(game, newGames + n, kBoxes, &source);
        Note(Format("after whole game %d: private memory %.0f, handles %.0f, GDI objects %.0f, threads %.0f", n,
                    after.figures.privateBytes, after.figures.handles, after.figures.gdiObjects,
                    after.figures.threads));
        samples.push_back(after);
    }
    if (wholeGames) {
        // The history's lines and the offers' list are the only things whole
        // games add; once both lists have drawn, nothing should stay behind.
        const Figures& first = samples[samples.size() - wholeGames].figures;
        const Figures& last = samples.back().figures;
        Check(last.gdiObjects <= first.gdiObjects,
              Format("GDI objects went from %.0f to %.0f over whole games", first.gdiObjects, last.gdiObjects));
    }
    CloseAndCheckExit(game);
}

std::vector<TestCase> SessionTests()
{
    return {{"many new games and whole games leave memory, handles and GDI objects flat", LongSession}};
}

}  // namespace e2e
