// Reliability runs: their settings, the game's resource figures, the board
// read whole through the snapshot hook, and a player that moves a game on.
#pragma once

#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "tests/e2e/board.h"
#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/snapshot.h"

namespace e2e {

struct ReliabilitySettings {
    int soakMinutes = 0;        // 0: the short forms of `make test`
    unsigned seed = 0;          // 0: a fresh seed, printed for a replay
};
ReliabilitySettings& Reliability();
bool Soaking();
// One generator per case, seeded from the settings; notes its seed.
std::mt19937 SeededRandom(const char* what);
int Pick(std::mt19937& random, int lo, int hi);   // inclusive
bool Chance(std::mt19937& random, double probability);

// ---- what the game holds of the system's resources ----------------------

struct Figures {
    double privateBytes = 0;   // committed private memory
    double handles = 0;        // kernel handles
    double gdiObjects = 0;     // live GDI objects
    double threads = 0;
};
// `source` names where each figure came from on this system.
bool ReadFigures(DWORD pid, Figures* figures, std::string* source, std::string* error);
// Least-squares slope of ys against xs.
double Slope(const std::vector<double>& xs, const std::vector<double>& ys);

// ---- the board, read whole -----------------------------------------------

const int kUnknownLook = -2;
const int kClosedLook = -1;

// The game's own artwork, read from its program file: what a closed box and
// each opened one look like.
struct Artwork {
    ULONGLONG closed = 0;
    ULONGLONG opened[kSnapshotBoxes] = {};
    // The value index an opened picture shows, kClosedLook, or kUnknownLook.
    int ValueShown(ULONGLONG look) const;
};
bool LoadArtwork(const std::string& exePath, Artwork* artwork, std::string* error);

// Installs the snapshot hook in the game's thread for as long as it lives.
class BoardWatch {
public:
    explicit BoardWatch(const Game& game);
    // The board between two steps of the game. False, with Error(), when the
    // game does not answer within timeoutMs.
    bool Take(SnapshotBlock* board, int timeoutMs);
    // Why the last Take failed, or why the hook could not be installed.
    const std::string& Error() const { return error.empty() ? hooked.Error() : error; }

private:
    HookedBlock hooked;
    std::string error;
};

bool InSight(const RECT& rect);
// The game's message boxes that are open now, oldest first.
std::vector<HWND> OpenMessageBoxes(const Game& game);
// Sends WM_NULL; true when the game answers within timeoutMs.
bool Answers(const Game& game, int timeoutMs);
bool IsMoneyText(const std::string& text);

// ---- a player ------------------------------------------------------------

// Status texts that tell the phases of a game apart.
const char kChoose[] = "CHOOSE YOUR OWN BOX";
const char kOpenA[] = "OPEN A BOX";
const char kOpenOwn[] = "OPEN YOUR BOX";
const char kOpenLast[] = "OPEN THE LAST BOX";
const char kWishes[] = "THE BANKER WISHES TO MAKE A DEAL";
const char kWants[] = "THE BANKER WANTS TO SAY HOW MUCH HE WOULD HAVE OFFERED YOU";
const char kPress[] = "PRESS THE DEAL BUTTON OR NO DEAL BUTTON";
const char kSwapChance[] = "THE BANKER WILL ALLOW YOU TO SWAP YOUR BOX";
const char kGameOver[] = "THANKYOU FOR PLAYING TRELVASK.  PRESS 'NEW GAME'";

// What the driver sees of a game at a glance, read from outside.
struct Glance {
    std::string status;
    std::string offer;
    bool dealEnabled = false;
    int ownBox = -1;                // index of the button in the MY BOX frame
    std::vector<int> others;        // the other buttons in sight
    bool buttonsEnabled = false;    // every button in sight is enabled
    HWND messageBox = nullptr;      // the newest open message box
    std::string boxCaption;
};
Glance Look(const Game& game);
bool ReadyForBox(const Glance& glance);

struct PlayStyle {
    bool dealAtFirstOffer = true;   // else NO DEAL to every offer
    int swapAnswer = IDNO;
};

// One move of a player who wants to finish the game: answers the newest
// message box, answers a prompted offer, or clicks the next box. Returns what
// it did, or "" when the game is busy and there is nothing to do yet.
std::string PlayMove(Game& game, std::mt19937& random, const PlayStyle& style, const Glance& glance);
// Plays on until stop(glance) holds; ends the case when it does not within timeoutMs.
template <typename Stop>
Glance PlayUntil(Game& game, std::mt19937& random, const PlayStyle& style, Stop stop, int timeoutMs,
                 const std::string& what)
{
    DWORD start = GetTickCount();
    for (;;) {
        Glance glance = Look(game);
        if (stop(glance))
            return glance;
        Require(game.Running(), what + ": the game ended");
        Require(GetTickCount() - start < static_cast<DWORD>(timeoutMs),
                what + ": not reached in time; the status reads \"" + Printable(glance.status) + "\"");
        if (PlayMove(game, random, style, glance).empty())
            Sleep(100);
    }
}

}  // namespace e2e
