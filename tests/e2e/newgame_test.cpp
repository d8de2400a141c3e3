// A new game: the first deal's board, choosing the own box, and NEW GAME answered Yes or No.
#include <algorithm>

#include "tests/e2e/board.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

static void SaveShot(Game& game, const char* name)
{
    game.Raise();
    // Let a freshly raised window finish painting.
    Sleep(700);
    std::string error;
    bool saved = SaveScreenshot(game.Window(), name, &error);
    Check(saved, error);
}

// What each box picture shows, away from its button: the part a player sees
// of the box itself.
struct PictureLooks {
    Pixels pictures[kBoxes];
};

// Parts of a picture that other controls may paint over: rectangles in the
// picture's own coordinates.
using Mask = std::vector<RECT>;

static bool Masked(const Mask& mask, POINT at)
{
    for (const RECT& rect : mask)
        if (PtInRect(&rect, at))
            return true;
    return false;
}

// Empty when the two look alike outside the mask; else where they differ.
static std::string LookDifference(const Pixels& a, const Pixels& b, const Mask& mask)
{
    if (a.width != b.width || a.height != b.height)
        return Format("sizes %dx%d and %dx%d", a.width, a.height, b.width, b.height);
    int count = 0;
    RECT where = {a.width, a.height, 0, 0};
    COLORREF first[2] = {};
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            POINT at = {x, y};
            if (Masked(mask, at) || a.At(x, y) == b.At(x, y))
                continue;
            if (count++ == 0) {
                first[0] = a.At(x, y);
                first[1] = b.At(x, y);
            }
            where = {std::min<LONG>(where.left, x), std::min<LONG>(where.top, y),
                     std::max<LONG>(where.right, x + 1), std::max<LONG>(where.bottom, y + 1)};
        }
    if (count == 0)
        return std::string();
    return Format("%d pixels differ within %s, first 0x%06lX against 0x%06lX", count, RectText(where).c_str(),
                  first[0], first[1]);
}

// At the home places: box i's button, and the rows where the neighbouring
// pictures overlap it by a pixel; which of two overlapping siblings paints
// last is not fixed.
static Mask HomeMask(int i)
{
    RECT picture = PictureHome(i);
    Mask mask;
    RECT button = ButtonHome(i);
    OffsetRect(&button, -picture.left, -picture.top);
    mask.push_back(button);
    for (int other = 0; other < kBoxes; ++other) {
        RECT neighbour = PictureHome(other);
        RECT overlap;
        if (other != i && IntersectRect(&overlap, &neighbour, &picture)) {
            OffsetRect(&overlap, -picture.left, -picture.top);
            mask.push_back(overlap);
        }
    }
    return mask;
}

static bool SamePixels(const PictureLooks& a, const PictureLooks& b)
{
    for (int i = 0; i < kBoxes; ++i)
        if (a.pictures[i].colours != b.pictures[i].colours)
            return false;
    return true;
}

// Reads the pictures once the window has stopped repainting: two readings alike.
static void ReadLooks(Game& game, PictureLooks* looks)
{
    game.Raise();
    PictureLooks previous;
    bool settled = WaitFor(
        [&] {
            previous = *looks;
            for (int i = 0; i < kBoxes; ++i) {
                std::string error;
                bool captured =
                    CapturePixels(game.Window(), game.ClientRect(IDC_BOX_PICTURE + i), &looks->pictures[i], &error);
                Require(captured, error);
            }
            return SamePixels(previous, *looks);
        },
        kStepTimeout, 200);
    Require(settled, "the box pictures keep changing");
}

static void CheckFirstBoard()
{
    Game game;
    StartOrAbort(game);
    CheckFreshDisplays(game, "after start");
    CheckInt(static_cast<long long>(game.ListLines(IDC_WIN_HISTORY).size()), 0, "lines in the win history");
    CheckBoardAtHome(game, "after start");
    // Every box shows the same closed box.
    PictureLooks looks;
    ReadLooks(game, &looks);
    for (int i = 1; i < kBoxes; ++i) {
        Mask mask = HomeMask(i);
        Mask first = HomeMask(0);
        mask.insert(mask.end(), first.begin(), first.end());
        std::string difference = LookDifference(looks.pictures[i], looks.pictures[0], mask);
        Check(difference.empty(),
              Format("the picture of box %d does not look like that of box 1: %s", i + 1, difference.c_str()));
    }
    SaveShot(game, "start_board");
}

static void CheckOwnBoxChoice()
{
    Game game;
    StartOrAbort(game);
    ChooseBoxSeven(game);
    CheckPlace(game, IDC_BOX_BUTTON + 6, OwnButtonPlace(), "button of the own box 7");
    CheckPlace(game, IDC_BOX_PICTURE + 6, OwnPicturePlace(), "picture of the own box 7");
    for (int i = 0; i < kBoxes; ++i) {
        if (i != 6) {
            CheckPlace(game, IDC_BOX_BUTTON + i, ButtonHome(i), Format("button of box %d", i + 1));
            CheckPlace(game, IDC_BOX_PICTURE + i, PictureHome(i), Format("picture of box %d", i + 1));
        }
        CheckPlace(game, IDC_BOARD_VALUE + i, PlateHome(i), Format("board plate %d", i));
        Check(game.Enabled(IDC_BOX_BUTTON + i), Format("box button %d stays disabled after the choice", i + 1));
    }
    // A box click empties the offer display; the bank is untouched.
    CheckText(game.Text(IDC_OFFER), "", "offer display after the choice");
    CheckText(game.Text(IDC_BANK), "\xA3" "0.00", "bank display after the choice");
    SaveShot(game, "box_chosen");
}

// The question of NEW GAME: no owner, Yes and No only, no icon.
static void CheckQuestionBox(HWND box)
{
    CheckText(MessageBoxText(box), "START AGAIN?", "text of the NEW GAME question");
    Check(GetWindow(box, GW_OWNER) == nullptr, "the question has an owner window");
    Check(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO), "the question lacks Yes or No");
    Check(!GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL), "the question has OK or Cancel");
    Check(!MessageBoxShowsIcon(box), "the question shows an icon");
}

static void CheckDeclinedNewGame()
{
    Game game;
    StartOrAbort(game);
    ChooseBoxSeven(game);
    BoardState before = ReadBoard(game);
    ClickOrAbort(game, IDC_NEW_GAME);
    HWND box = WaitForMessageBox(game, "NEW GAME");
    Require(box != nullptr, "no message box captioned \"NEW GAME\"");
    CheckQuestionBox(box);
    std::string error;
    bool answered = AnswerMessageBox(box, IDNO, &error);
    Require(answered, error);
    // Give a wrongly dealt game time to show itself.
    Sleep(1000);
    for (const std::string& difference : CompareBoards(before, ReadBoard(game)))
        Check(false, "after No: " + difference);
    // The game goes on where it was: the next click opens a box.
    OpenOtherBox(game, 1);
}

// NEW GAME answered Yes after some clicks of a game.
struct NewGameRow {
    const char* name;
    std::vector<int> boxes;   // box numbers clicked before NEW GAME; the first becomes the own box
};

static void CheckNewGame(const NewGameRow& row)
{
    Game game;
    StartOrAbort(game);
    PictureLooks start;
    ReadLooks(game, &start);
    for (size_t n = 0; n < row.boxes.size(); ++n) {
        if (n == 0)
            ChooseBox(game, row.boxes[n]);
        else
            OpenOtherBox(game, row.boxes[n]);
    }
    if (row.boxes.size() > 1)
        SaveShot(game, "box_opened");

    std::string question = AnswerStartAgain(game, IDYES);
    CheckText(question, "START AGAIN?", "question");
    WaitForStatus(game, "CHOOSE YOUR OWN BOX", "after Yes");
    CheckFreshDisplays(game, "after Yes");
    CheckBoardAtHome(game, "after Yes");
    CheckInt(static_cast<long long>(game.ListLines(IDC_WIN_HISTORY).size()), 0,
             "lines in the win history");

    PictureLooks now;
    ReadLooks(game, &now);
    for (int i = 0; i < kBoxes; ++i) {
        std::string difference = LookDifference(now.pictures[i], start.pictures[i], HomeMask(i));
        Check(difference.empty(), Format("box %d does not show the closed box again: %s", i + 1, difference.c_str()));
    }

    // The new game takes a choice as the first did.
    ChooseBox(game, 7);
    CheckPlace(game, IDC_BOX_BUTTON + 6, OwnButtonPlace(), "own box 7 chosen again");
}

std::vector<TestCase> NewGameTests()
{
    std::vector<TestCase> cases = {
        {"first board: displays, lists and closed boxes at home", CheckFirstBoard},
        {"choosing box 7 moves it into MY BOX", CheckOwnBoxChoice},
        {"START AGAIN? answered No changes nothing", CheckDeclinedNewGame},
    };
    const NewGameRow kRows[] = {
        {"own box chosen", {7}},
        {"own box chosen and box 1 opened", {7, 1}},
    };
    for (const NewGameRow& row : kRows)
        cases.push_back({std::string("NEW GAME answered Yes deals again: ") + row.name,
                         [row] { CheckNewGame(row); }});
    return cases;
}

}  // namespace e2e
