// The box numbers as the X display shows them, at every moment the game waits for the player.
#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

// Every closed box in sight shows its button face, and the dark pixels of its
// number gathered at the button's centre, on a real capture of the screen.
void CheckNumbersOnScreen(const Game& game, const std::string& moment)
{
    Sleep(400);   // the repaint that follows the change
    RECT area = {};
    GetClientRect(game.Window(), &area);
    MapWindowPoints(game.Window(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    Shot shot;
    std::string error;
    if (!Check(CaptureScreen(area, "numbers-" + moment, &shot, &error), error))
        return;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int i = 0; i < 22; ++i) {
        RECT r = game.ClientRect(IDC_BOX_BUTTON + i);
        if (r.left >= 765)
            continue;
        MapWindowPoints(game.Window(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        int frame = 0, faced = 0, dark = 0;
        long sumX = 0, sumY = 0;
        for (int y = r.top + 3; y < r.bottom - 3; ++y)
            for (int x = r.left + 3; x < r.right - 3; ++x) {
                COLORREF c = shot.At(x, y);
                if (y < r.top + 6 || y >= r.bottom - 6 || x < r.left + 6 || x >= r.right - 6)
                    ++frame, faced += c == face;
                else if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100)
                    ++dark, sumX += x, sumY += y;
            }
        // Which of two overlapping siblings paints last is the system's choice:
        // the number is safe only under its button, above a picture that clips it.
        HWND picture = GetDlgItem(game.Window(), IDC_BOX_PICTURE + i), above = game.Control(IDC_BOX_BUTTON + i);
        while (above && above != picture)
            above = GetWindow(above, GW_HWNDNEXT);
        Check(above == picture && (GetWindowLongA(picture, GWL_STYLE) & WS_CLIPSIBLINGS),
              Format("%s: box %d's picture should lie below its button and clip it", moment.c_str(), i + 1));
        long dx = dark ? sumX / dark - (r.left + r.right) / 2 : 99, dy = dark ? sumY / dark - (r.top + r.bottom) / 2 : 99;
        Check(faced * 10 >= frame * 8 && dark >= 8 && labs(dx) <= 4 && labs(dy) <= 4,
              Format("%s: box %d at (%ld,%ld): %d of %d frame pixels show the button face, %d dark pixels centred %+ld,%+ld",
                     moment.c_str(), i + 1, r.left - area.left, r.top - area.top, faced, frame, dark, dx, dy));
    }
}

static void Answer(Game& game, int button)
{
    Require(game.Click(IDC_NEW_GAME), game.Error());
    HWND box = WaitForMessageBox(game, "NEW GAME");
    std::string error;
    Require(box && AnswerMessageBox(box, button, &error), "START AGAIN? " + error);
}

static void CheckNumbersAtEveryWait()
{
    Game game;
    Require(game.Start(), game.Error());
    CheckNumbersOnScreen(game, "start");
    Answer(game, IDNO);
    CheckNumbersOnScreen(game, "no-closed");
    Answer(game, IDYES);
    Require(game.WaitText(IDC_STATUS, "CHOOSE YOUR OWN BOX"), "no fresh game after Yes");
    CheckNumbersOnScreen(game, "yes-closed");
    Require(game.Click(IDC_BOX_BUTTON + 11) && game.WaitText(IDC_STATUS, "OPEN A BOX"), "box 12 not chosen: " + game.Error());
    CheckNumbersOnScreen(game, "own-box");
    RECT rect = {};
    GetWindowRect(game.Window(), &rect);
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "cover", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
    Sleep(500);
    DestroyWindow(cover);
    // Wine keeps a copy of the window's pixels and repaints nothing when it is
    // uncovered or restored; Windows repaints what was hidden, so ask for that.
    RedrawWindow(game.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    CheckNumbersOnScreen(game, "uncovered");
    ShowWindow(game.Window(), SW_MINIMIZE);
    Check(WaitFor([&] { return IsIconic(game.Window()) != 0; }, kStepTimeout), "the window did not minimise");
    ShowWindow(game.Window(), SW_RESTORE);
    Check(WaitFor([&] { return !IsIconic(game.Window()); }, kStepTimeout), "the window did not come back");
    RedrawWindow(game.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    CheckNumbersOnScreen(game, "restored");
    game.PostClose();
}

// For `make screenshots`: the board at start and with an offer showing.
static void TakeScreenshots()
{
    Game game;
    Require(game.Start(), game.Error());
    RECT rect = {};
    Shot shot;
    std::string error;
    Sleep(500), GetWindowRect(game.Window(), &rect);
    Check(CaptureScreen(rect, "board", &shot, &error), error);
    for (int box : {12, 1, 2, 3, 4, 5})
        Require(game.Click(IDC_BOX_BUTTON + box - 1) && WaitFor([&] { return game.Enabled(IDC_BOX_BUTTON); }, kStepTimeout), game.Error());
    Require(game.WaitText(IDC_STATUS, "PRESS THE DEAL BUTTON OR NO DEAL BUTTON", 20000), "no offer came");
    Check(CaptureScreen(rect, "offer", &shot, &error), error);
    game.PostClose();
}

std::vector<TestCase> NumberTests()
{
    return {{"every closed box shows its number: start, after No and Yes, MY BOX, uncovered, restored", CheckNumbersAtEveryWait}};
}

std::vector<TestCase> ScreenshotTests()
{
    return {{"the board at start and with an offer", TakeScreenshots}};
}

}  // namespace e2e
