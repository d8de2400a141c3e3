// Whole games against the fake window: deals, clicks, the banker, the clock, NEW GAME, closing.
#include "tests/unit/fake.h"

using namespace fake;

static const char *kWon = "CONGRATULATIONS|YOU TRELVASK", *kLost = "UNLUCKY|YOU DID NOT TRELVASK\n\nTHE BANKER WON";

static void ExpectFreshBoard(const std::vector<uint32_t>& deal = {})
{
    for (int i = 0; i < kBoxCount; ++i)   // box i, and the plate of value i: each control's place, enabled, text and picture
        EXPECT_ALL(Look(IDC_BOX_BUTTON + i) == std::make_tuple(200 + i, 20, true, std::to_string(i + 1), 0), !boxRecords[i].opened,
                   Look(IDC_BOX_PICTURE + i) == std::make_tuple(100 + i, 10, true, std::string(), IDB_CLOSED_BOX), !boxRecords[i].chosen,
                   Look(IDC_BOARD_VALUE + i) == std::make_tuple(300 + i, 30, true, std::string(), 0), BoxOf(i) < kBoxCount,
                   boxRecords[i].valueIndex == (deal.empty() ? boxRecords[i].valueIndex : deal[i])) << "box " << i;
    EXPECT_ALL(controls[IDC_OFFER].text == "\xA3", controls[IDC_BANK].text == "\xA3" "0.00", Status() == "CHOOSE YOUR OWN BOX",
               std::make_tuple(controls[IDC_DEAL].enabled, controls[IDC_NO_DEAL].enabled) == std::make_tuple(false, false), dealAmount == 0.0f,
               std::make_tuple(picksMade, offerPending, dealt, busy, ownBoxChosen, promptTickCount) == std::make_tuple(0, 0, 0, 0, 0, 0),
               controls[IDC_OFFER_LIST].lines.empty(), waitTickCount <= 2, ambientTickCount == waitTickCount);   // two pumps may tick
}

// By value index: own box, left for last, where the rest start (upward, wrapping), the call answered DEAL, where to stop.
struct Plan { int own, last, from = 0, dealAt = 0, stopAt = 23; };

// Plays by the plan, checking each click's rules; returns the first offer. Stops if the game is replaced or closed.
static float Play(const Plan& plan)
{
    static const char* kReaction[2] = {"5555555554444446661111", "1111111116666664445555"};   // by value, deal or not
    std::vector<int> order = {BoxOf(plan.own)};   // boxes, all found before a swap moves the values
    for (int k = 0; k < kBoxCount; ++k)
        if (int v = (plan.from + k) % kBoxCount; v != plan.own && v != plan.last)
            order.push_back(BoxOf(v));
    order.insert(order.end(), {order[0], BoxOf(plan.last)});
    float first = 0;
    int game = gameNumber, own = order[0], spare = order.back();
    for (int box : order) {
        int value = int(boxRecords[box].valueIndex), picks = picksMade, reaction = kReaction[dealt][value] - '0', calls = CallsBy(picks);
        if (picks >= plan.stopAt)
            break;
        if (boxRecords[box].opened || (box == own && picks > 0 && picks < 21))
            continue;   // played already, before a lower stop
        size_t mark = ops.size();
        if (picks >= 1 && picks < 21) {   // the own box waits its turn; a click queued behind this one is refused
            OpenBox(own);
            EXPECT_ALL(picksMade == picks, !boxRecords[own].opened) << "the own box clicked at pick " << picks;
            atPump[pumps + 1] = [spare] { OpenBox(spare); EXPECT_EQ(ops.back().kind, "focus") << "a click queued behind another"; };
        }
        if (picks == 20 && !dealt)   // the last call waits for its answer inside the click
            whens.push_back({[] { return controls[IDC_DEAL].enabled; }, [deal = plan.dealAt == 6] { ClickAnswer(deal); }});
        OpenBox(box);
        if (gameNumber != game || quitTaken)
            break;
        std::vector<int> sounds, unguarded;   // a sound played with a box button enabled lets a second click in
        for (size_t k = mark; k < ops.size(); ++k)
            if (ops[k].kind == "sound")
                (ops[k].value == "0" ? sounds : unguarded).push_back(ops[k].id);
        sounds.resize(picks % 22 ? 2 : sounds.size(), -1);   // the reveal's reaction (at 21 the verdict's); a call's rings follow
        std::string status = offerPending ? "THE BANKER WISHES TO MAKE A DEAL" : picks == 20 ? "OPEN YOUR BOX" : picks == 21
            ? "OPEN THE LAST BOX" : picks == 22 ? "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'" : !dealt ? "OPEN A BOX"
            : CallsBy(picks + 1) > calls ? "BANKER WOULD'VE OFFERED YOU THE ABOVE. NOW OPEN MORE BOXES" : "YOU HAVE REVEALED '";
        EXPECT_ALL(picksMade == picks + 1, unguarded == std::vector<int>(), !busy, (picks < 5 ? promptTickCount : 0) == 0, BoxesEnabled() == 22,
                   controls[IDC_OFFER_LIST].lines.size() == size_t(CallsBy(picksMade)), Status().substr(0, status.size()) == status,
                   controls[IDC_BOX_BUTTON + box].x == (picks ? 16384 : 359), controls[IDC_BOX_PICTURE + box].y == (box == own ? 431 : 10),
                   sounds == (picks ? std::vector<int>({SOUND_REVEAL, picks == 22 ? SOUND_TITLE : picks == 21 ? (lastBox == kWon ? SOUND_GOOD
                   : SOUND_BAD) : reaction}) : std::vector<int>())) << "click at pick " << picks << ", box " << box << ", value " << value;
        first = calls == 0 && CallsBy(picksMade) == 1 ? lastOffer : first;
        if (!offerPending)
            continue;
        OpenBox(spare);   // refused while the offer waits
        PumpUntil([game] { return gameNumber != game || quitTaken || controls[IDC_DEAL].enabled; });
        ClickAnswer(CallsBy(picksMade) == plan.dealAt);
        if (quitTaken || gameNumber != game)
            break;
        EXPECT_ALL(controls[IDC_BANK].text == (dealt ? controls[IDC_OFFER_LIST].lines.back() : "\xA3" "0.00"), !offerPending,   // banked
                   !controls[IDC_DEAL].enabled, !controls[IDC_NO_DEAL].enabled, picksMade == picks + 1) << "the answer at pick " << picks;
    }
    return first;
}

// Each game ends in NEW GAME, which puts back swapped captions; its first draw for box 1 (22) names no amount.
TEST(Game, WorkedDealsAndGamesFromTheChoiceToTheLastBox)
{
    const std::vector<uint32_t> midsummerDeal = {6, 4, 9, 14, 15, 12, 16, 19, 2, 11, 1, 10, 21, 17, 18, 5, 13, 0, 3, 7, 20, 8},
                                januaryDeal = {7, 0, 20, 14, 12, 19, 18, 13, 2, 9, 15, 5, 17, 1, 10, 3, 16, 4, 6, 11, 8, 21};
    enum { kNoSwap, kSwapNo, kSwapYes };
    const struct Row { UtcTime clock; Plan plan; float first, last; const char *verdict, *bank; bool tie; int swap; } rows[] = {
        {kMidsummer, {0, 2, 17}, 1292.4131f, 0.16285534f, kLost, "\xA3" "0.01"},   // the five largest first
        {kJanuary, {11, 13, 0, 6}, 15369.754f, 2618.0339f, kWon, "\xA3" "2600"},
        {kMidsummer, {21, 0}, 15325.1221f, 62525.004f, kWon, "\xA3" "250000"},
        {kMidsummer, {21, 0, 0, 6}, 15325.1221f, 62525.004f, kLost, "\xA3" "62500"},
        {kMidsummer, {5, 21, 0, 1}, 15369.754f, 63293.0703f, kWon, "\xA3" "15300"},
        {kMidsummer, {21, 0}, 15325.1221f, 250000, kLost, "\xA3" "250000", true},   // equal amounts lose
        {kMidsummer, {21, 1, 1, 1}, 15226.9023f, 62579.082f, kLost, "\xA3" "250000", true},   // and the smallest revealed after the deal
        {kJanuary, {3, 21}, 15338.2324f, 62750.25f, kLost, "\xA3" "1", false, kSwapNo},
        {kJanuary, {3, 21}, 15338.2324f, 62750.25f, kWon, "\xA3" "250000", false, kSwapYes},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Reset(row.clock), ExpectFreshBoard(row.clock.year == 2008 ? januaryDeal : midsummerDeal);
        int own = BoxOf(row.plan.own), other = BoxOf(row.plan.last);   // a swap moves values and captions, not boxes
        if (row.tie)   // the last call is over, the own box not yet opened
            whens.push_back({[] { return picksMade == 21 && !busy; },
                             [own] { (dealt ? dealAmount : lastOffer) = kBoxValues[boxRecords[own].valueIndex]; }});
        if (row.swap)   // nothing draws before the swap chance, which then draws 0
            rngState = 0, answer = row.swap == kSwapYes;
        float first = Play(row.plan);
        EXPECT_ALL(first == row.first, lastOffer == row.last, lastBox == row.verdict, picksMade == 23, controls[IDC_BANK].text == row.bank,
                   controls[IDC_WIN_HISTORY].lines == std::vector<std::string>({row.bank}), controls[IDC_BOX_BUTTON + BoxOf(row.plan.own)].text
                   == std::to_string(own + 1), controls[IDC_BOX_BUTTON + BoxOf(row.plan.last)].text == std::to_string(other + 1));
        rngState = StateBefore(StateBefore(4294967293u));
        ClickNewGame(true), ExpectFreshBoard();
    }
}

// NEW GAME (after a No that changes nothing), or the window closing, in each kind of pump.
TEST(Game, NewGameOrCloseInsideEveryKindOfPump)
{
    const struct Moment { int stopAt; std::function<bool()> when; } moments[] = {
        {2, [] { return Status().rfind("YOU HAVE REVEALED", 0) == 0; }},
        {5, [] { return busy && waitTickCount == 1; }},   // the banker's waits
        {5, [] { return offerPending == 1; }},
        {5, [] { return Status() == "PRESS THE DEAL BUTTON OR NO DEAL BUTTON"; }},
        {5, [] { return Status().rfind("NO DEAL!", 0) == 0; }},
        {20, [] { return picksMade == 21 && controls[IDC_DEAL].enabled; }},   // the wait for the last answer
        {20, nullptr},         // the swap question: the swap chance draws 0
        {21, nullptr},         // the verdict
        {22, [] { return Status().rfind("THANKYOU", 0) == 0; }},
    };
    for (bool close : {false, true})
        for (const Moment& moment : moments) {
            SCOPED_TRACE(std::to_string(&moment - moments) + (close ? " close" : " new game"));
            Reset(), Play({0, 21, 0, 0, moment.stopAt});
            // A No deals nothing, so no title sound follows it.
            Event act = [close] { ops.clear(), ClickNewGame(false), close ? void(quitPosted = true) : ClickNewGame(true); };
            moment.when ? whens.push_back({moment.when, act}) : void(inMessageBox = act);
            rngState = 0, Play({0, 21, 0, 0, moment.stopAt + 1});
            if (!close)   // and the new game takes a click at once
                ExpectFreshBoard(), OpenBox(7);
            EXPECT_TRUE(close ? std::none_of(ops.begin(), ops.end(), [](const Op& op) { return op.kind == "sound"; })
                              : boxRecords[7].chosen && picksMade == 1);
        }
}

TEST(Clock, AmbientEveryFourthTickOnceChosenAndPromptsEveryFourthWhileAnOfferWaits)
{
    Reset(), PumpUntil([] { return ticks == 9; }), Play({0, 21, 0, 0, 5}), OpenBox(BoxOf(5));
    int offered = ticks;   // the answer at the 13th tick of the offer
    PumpUntil([offered] { return ticks == offered + 13; }), ClickAnswer(false), PumpUntil([offered] { return ticks == offered + 30; });
    // None before its start, the first within four ticks, then every fourth; the prompts stop at the 13th, the answer.
    for (auto [from, sound, least, last] : {std::tuple(9, SOUND_AMBIENT, 8u, 99), std::tuple(offered, SOUND_PROMPT, 3u, 13)}) {
        std::vector<int> at, everyFourth;   // ticks after the start: what was played, and what should have been
        for (const Op& op : ops)
            if (op.kind == "async" && op.id == sound)
                at.push_back(op.tick - from), everyFourth.push_back(at.size() > 1 ? everyFourth.back() + 4 : std::clamp(at[0], 1, 4));
        EXPECT_ALL(at == everyFourth, at.size() >= least, (at.empty() ? 0 : at.back()) <= last) << "sound " << sound;
    }
}
