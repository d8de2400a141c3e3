// The box numbers as the X display shows them, at every moment the game waits for the player.
#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

// On a real capture of the screen, every closed box in sight shows its button
// face and the dark pixels of its number gathered at the button's centre.
// Each picture is first repainted alone, as a new picture or an uncovered
// corner repaints it: a picture that does not leave its button's rectangle
// alone then hides the number, whatever order the system paints in.
void CheckNumbersOnScreen(const Game& game, const std::string& moment)
{
    for (int i = 0; i < 22; ++i)
        InvalidateRect(game.Control(IDC_BOX_PICTURE + i), nullptr, TRUE);
    Shot shot;
    std::string error;
    if (Sleep(400), !Check(CaptureScreen(RectIn(nullptr, game.Window()), "numbers-" + moment, &shot, &error), error))
        return;
    for (int i = 0; i < 22; ++i) {
        RECT r = RectIn(nullptr, game.Control(IDC_BOX_BUTTON + i));
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
        long dx = dark ? sumX / dark - (r.left + r.right) / 2 : 99, dy = dark ? sumY / dark - (r.top + r.bottom) / 2 : 99;
        Check(game.ClientRect(IDC_BOX_BUTTON + i).left >= 765 ||
                  (faced * 10 >= frame * 8 && dark >= 8 && labs(dx) <= 4 && labs(dy) <= 4),
              Format("%s: box %d: %d of %d frame pixels show the button face, %d dark pixels centred %+ld,%+ld",
                     moment.c_str(), i + 1, faced, frame, dark, dx, dy));
    }
}

// Covers the window with another, or minimises it, and shows it again. Wine
// keeps a copy of the window's pixels and repaints nothing then; Windows
// repaints what was hidden, so ask for that.
void HideAndShow(const Game& game, bool minimise)
{
    RECT r = RectIn(nullptr, game.Window());
    HWND cover = minimise ? nullptr : CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, r.left, r.top,
                                                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(game.Window(), minimise ? SW_MINIMIZE : SW_SHOWNA);
    Check(WaitFor([&] { return minimise == (IsIconic(game.Window()) != 0); }, kStepTimeout), "the window did not minimise");
    Sleep(500), ShowWindow(game.Window(), minimise ? SW_RESTORE : SW_SHOWNA), DestroyWindow(cover);
    Check(WaitFor([&] { return !IsIconic(game.Window()); }, kStepTimeout), "the window did not come back");
    RedrawWindow(game.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace e2e
