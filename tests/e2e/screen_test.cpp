// The box numbers as the X display shows them, at every moment the game waits for the player.
#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

// On a real capture of the screen, every closed box in sight shows its button
// face and the dark pixels of its number gathered at the button's centre.
// Which of two overlapping siblings paints last is the system's choice, so the
// number is safe only under its button, above a picture that clips it.
void CheckNumbersOnScreen(const Game& game, const std::string& moment)
{
    Shot shot;
    std::string error;
    if (Sleep(400), !Check(CaptureScreen(RectIn(nullptr, game.Window()), "numbers-" + moment, &shot, &error), error))
        return;
    for (int i = 0; i < 22; ++i) {
        HWND button = game.Control(IDC_BOX_BUTTON + i), picture = game.Control(IDC_BOX_PICTURE + i), below = button;
        RECT r = RectIn(nullptr, button);
        int frame = 0, faced = 0, dark = 0;
        long sumX = 0, sumY = 0;
        for (int y = r.top + 3; y < r.bottom - 3; ++y)
            for (int x = r.left + 3; x < r.right - 3; ++x) {
                COLORREF c = shot.At(x, y);
                if (y < r.top + 6 || y >= r.bottom - 6 || x < r.left + 6 || x >= r.right - 6)
                    ++frame, faced += c == GetSysColor(COLOR_BTNFACE);
                else if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100)
                    ++dark, sumX += x, sumY += y;
            }
        while (below && below != picture) below = GetWindow(below, GW_HWNDNEXT);
        long dx = dark ? sumX / dark - (r.left + r.right) / 2 : 99, dy = dark ? sumY / dark - (r.top + r.bottom) / 2 : 99;
        Check(game.ClientRect(IDC_BOX_BUTTON + i).left >= 765 ||
                  (faced * 10 >= frame * 8 && dark >= 8 && labs(dx) <= 4 && labs(dy) <= 4 && below &&
                   (GetWindowLongA(picture, GWL_STYLE) & WS_CLIPSIBLINGS)),
              Format("%s: box %d: %d of %d frame pixels show the button face, %d dark pixels centred %+ld,%+ld; the picture "
                     "%s below the button and %s it", moment.c_str(), i + 1, faced, frame, dark, dx, dy, below ? "lies" : "is not",
                     GetWindowLongA(picture, GWL_STYLE) & WS_CLIPSIBLINGS ? "clips" : "does not clip"));
    }
}

static void NewGameAnswered(Game& game, int button)
{
    std::string error;
    Require(game.Click(IDC_NEW_GAME), game.Error());
    Require(AnswerMessageBox(WaitForMessageBox(game, "NEW GAME"), button, &error), "START AGAIN? " + error);
}

static void CheckNumbersAtEveryWait()
{
    Game game;
    Require(game.Start(), game.Error());
    CheckNumbersOnScreen(game, "start");
    NewGameAnswered(game, IDNO);
    CheckNumbersOnScreen(game, "no-closed");
    NewGameAnswered(game, IDYES);
    Require(game.WaitText(IDC_STATUS, "CHOOSE YOUR OWN BOX"), "no fresh game after Yes");
    CheckNumbersOnScreen(game, "yes-closed");
    Require(game.Click(IDC_BOX_BUTTON + 11) && game.WaitText(IDC_STATUS, "OPEN A BOX"), "box 12 not chosen: " + game.Error());
    CheckNumbersOnScreen(game, "own-box");
    RECT r = RectIn(nullptr, game.Window());
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    Sleep(500), DestroyWindow(cover);
    // Wine keeps a copy of the window's pixels and repaints nothing when it is
    // uncovered or restored; Windows repaints what was hidden, so ask for that.
    RedrawWindow(game.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    CheckNumbersOnScreen(game, "uncovered");
    ShowWindow(game.Window(), SW_MINIMIZE);
    Check(WaitFor([&] { return IsIconic(game.Window()); }, kStepTimeout), "the window did not minimise");
    ShowWindow(game.Window(), SW_RESTORE);
    Check(WaitFor([&] { return !IsIconic(game.Window()); }, kStepTimeout), "the window did not come back");
    RedrawWindow(game.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    CheckNumbersOnScreen(game, "restored");
    game.PostClose();
}

std::vector<TestCase> NumberTests()
{
    return {{"every closed box shows its number: start, after No and Yes, MY BOX, uncovered, restored", CheckNumbersAtEveryWait}};
}

}  // namespace e2e
