// Where the board's controls belong, in client pixels, and checks against those places.
#include "tests/e2e/board.h"

#include "resources/resource.h"
#include "tests/e2e/check.h"

namespace e2e {

// Picture and button of boxes 1 to 22: up the left edge, along the top, down the right edge.
static const struct {
    int pictureX, pictureY, buttonX, buttonY;
} kBoxHomes[kBoxes] = {
    {14, 489, 32, 509},  {14, 423, 32, 442},  {14, 356, 33, 375},  {14, 289, 33, 309},
    {14, 223, 33, 242},  {14, 156, 33, 176},  {14, 89, 33, 109},   {20, 13, 39, 34},
    {116, 13, 135, 33},  {204, 13, 222, 33},  {293, 13, 312, 33},  {383, 13, 402, 33},
    {473, 13, 492, 33},  {561, 13, 579, 34},  {657, 13, 675, 34},  {666, 88, 687, 109},
    {666, 154, 686, 176}, {666, 221, 686, 242}, {666, 288, 686, 309}, {666, 354, 687, 375},
    {666, 421, 686, 442}, {666, 488, 687, 509},
};

const int kPictureWidth = 85, kPictureHeight = 67;
const int kButtonWidth = 41, kButtonHeight = 29;
const int kPlateWidth = 128, kPlateHeight = 23;
// Eleven plates per column, lowest amount at the top.
const int kPlatesPerColumn = 11;
const int kLeftPlateX = 114, kRightPlateX = 522, kTopPlateY = 96, kPlateStep = 26;

RECT MakeRect(int x, int y, int width, int height)
{
    return RECT{x, y, x + width, y + height};
}

RECT PictureHome(int i)
{
    return MakeRect(kBoxHomes[i].pictureX, kBoxHomes[i].pictureY, kPictureWidth, kPictureHeight);
}

RECT ButtonHome(int i)
{
    return MakeRect(kBoxHomes[i].buttonX, kBoxHomes[i].buttonY, kButtonWidth, kButtonHeight);
}

RECT PlateHome(int k)
{
    int x = k < kPlatesPerColumn ? kLeftPlateX : kRightPlateX;
    int row = k % kPlatesPerColumn;
    return MakeRect(x, kTopPlateY + kPlateStep * row, kPlateWidth, kPlateHeight);
}

RECT OwnPicturePlace()
{
    return MakeRect(339, 431, kPictureWidth, kPictureHeight);
}

RECT OwnButtonPlace()
{
    return MakeRect(359, 452, kButtonWidth, kButtonHeight);
}

bool CheckPlace(const Game& game, int id, const RECT& expected, const std::string& what)
{
    RECT actual = game.ClientRect(id);
    return Check(EqualRect(&actual, &expected) != 0,
                 Format("%s (control %d) stands at %s, expected %s", what.c_str(), id,
                        RectText(actual).c_str(), RectText(expected).c_str()));
}

void CheckBoardAtHome(const Game& game, const std::string& when)
{
    for (int i = 0; i < kBoxes; ++i) {
        CheckPlace(game, IDC_BOX_PICTURE + i, PictureHome(i), Format("%s: picture of box %d", when.c_str(), i + 1));
        CheckPlace(game, IDC_BOX_BUTTON + i, ButtonHome(i), Format("%s: button of box %d", when.c_str(), i + 1));
        CheckPlace(game, IDC_BOARD_VALUE + i, PlateHome(i), Format("%s: board plate %d", when.c_str(), i));
    }
}

void CheckFreshDisplays(const Game& game, const std::string& when)
{
    CheckText(game.Text(IDC_STATUS), "CHOOSE YOUR OWN BOX", when + ": status");
    CheckText(game.Text(IDC_OFFER), "\xA3", when + ": offer display");
    CheckText(game.Text(IDC_BANK), "\xA3" "0.00", when + ": bank display");
    CheckInt(static_cast<long long>(game.ListLines(IDC_OFFER_LIST).size()), 0,
             when + ": lines in the offer list");
    Check(!game.Enabled(IDC_DEAL), when + ": DEAL is enabled");
    Check(!game.Enabled(IDC_NO_DEAL), when + ": NO DEAL is enabled");
    for (int i = 0; i < kBoxes; ++i)
        Check(game.Enabled(IDC_BOX_BUTTON + i), Format("%s: box button %d is disabled", when.c_str(), i + 1));
}

}  // namespace e2e
