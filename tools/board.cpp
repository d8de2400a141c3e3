// The window's background: wooden frame, pine field, screws, and the dark panel with its light.
#include <algorithm>

#include "artwork.h"
#include "wood.h"

namespace {

constexpr int kFrameWidth = 12;
constexpr int kFieldStart = kFrameWidth + 1;  // after the thin light line

// The dark panel behind the money board, in pixels, edges inclusive.
constexpr int kPanelLeft = 108, kPanelTop = 84, kPanelRight = 655, kPanelBottom = 388;
constexpr int kPanelBorderSide = 5, kPanelBorderTop = 4, kPanelBorderBottom = 5;
const Rgb kPanelBorder{102, 102, 204};

// The band of light: peak brightness and where it rises from and falls back to black.
constexpr float kBandPeak = 252.0f, kBandCentre = 380.0f, kBandHalfWidth = 140.0f;

float BandOfLight(int x) {
    float u = (x + 0.5f - kBandCentre) / kBandHalfWidth;
    if (std::fabs(u) >= 1.0f) return 0.0f;
    return kBandPeak * (0.5f + 0.5f * std::cos(3.14159265f * u));
}

// The box pictures carry the grain of box 1's place. Elsewhere the board shifts its grain so that
// each picture's wood runs on into the board beside it: the left and right columns by the row of
// the box beside them, the top strip by the box above. Grain runs across, so the shifts change
// mostly at horizontal seams, which vanish among the rings; the few vertical ones lie in the narrow
// gaps between the top boxes and straight down from the panel's lower corners, where the lists
// stand over most of them.
constexpr int kLeftColumnX = 14, kRightColumnX = 666, kTopRowY = 13;
constexpr int kLeftRows[] = {89, 156, 223, 289, 356, 423, 489};
constexpr int kRightRows[] = {88, 154, 221, 288, 354, 421, 488};
constexpr int kTopColumns[] = {20, 116, 204, 293, 383, 473, 561, 657};

template <size_t N>
int RowOf(const int (&rows)[N], int y) {
    int row = rows[0];
    for (int r : rows)
        if (y >= r) row = r;
    return row;
}

Rgb ShiftedPine(int x, int y, int boxX, int boxY) {
    return PineAt(x + 0.5f - boxX + kClosedBoxWoodOrigin.x,
                  y + 0.5f - boxY + kClosedBoxWoodOrigin.y);
}

Rgb FieldAt(int x, int y) {
    if (y < kPanelTop) {
        constexpr int count = sizeof kTopColumns / sizeof kTopColumns[0];
        for (int i = 0; i + 1 < count; ++i) {
            int gapFrom = kTopColumns[i] + kBoxWidth, gapTo = kTopColumns[i + 1];
            if (x < gapFrom) return ShiftedPine(x, y, kTopColumns[i], kTopRowY);
            if (x < gapTo) {
                float t = (x + 0.5f - gapFrom) / (gapTo - gapFrom);
                return Mix(ShiftedPine(x, y, kTopColumns[i], kTopRowY),
                           ShiftedPine(x, y, kTopColumns[i + 1], kTopRowY), t);
            }
        }
        return ShiftedPine(x, y, kTopColumns[count - 1], kTopRowY);
    }
    if (x < kPanelLeft) return ShiftedPine(x, y, kLeftColumnX, RowOf(kLeftRows, y));
    if (x > kPanelRight) return ShiftedPine(x, y, kRightColumnX, RowOf(kRightRows, y));
    return ShiftedPine(x, y, kClosedBoxWoodOrigin.x, kClosedBoxWoodOrigin.y);
}

void PaintField(Canvas& board) {
    const int w = board.Width(), h = board.Height();
    for (int y = kFieldStart; y < h - kFieldStart; ++y)
        for (int x = kFieldStart; x < w - kFieldStart; ++x) {
            // The frame stands proud of the field: a short shadow under its top and left edges.
            float top = static_cast<float>(y - kFieldStart),
                  left = static_cast<float>(x - kFieldStart);
            float right = static_cast<float>(w - 1 - kFieldStart - x),
                  bottom = static_cast<float>(h - 1 - kFieldStart - y);
            float shadow = 0.16f * (std::exp(-top / 1.3f) + std::exp(-left / 1.3f)) +
                           0.06f * (std::exp(-right) + std::exp(-bottom));
            board.At(x, y) = FieldAt(x, y) * (1.0f - std::min(shadow, 0.4f));
        }
}

void PaintFrame(Canvas& board) {
    const int w = board.Width(), h = board.Height();
    const Rgb lightLine{236, 222, 178};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int toTop = y, toLeft = x, toRight = w - 1 - x, toBottom = h - 1 - y;
            int across = std::min({toTop, toLeft, toRight, toBottom});
            if (across > kFrameWidth) continue;
            if (across == kFrameWidth) {
                board.At(x, y) = lightLine;
                continue;
            }
            // Each side is its own plank, grain along it, joined to its neighbours by a mitre.
            bool horizontal = std::min(toTop, toBottom) <= std::min(toLeft, toRight);
            bool litSide = horizontal ? toTop <= toBottom : toLeft <= toRight;
            float along = horizontal ? static_cast<float>(x) : static_cast<float>(y);
            float seed = horizontal ? (toTop <= toBottom ? 0.0f : 900.0f)
                                    : (toLeft <= toRight ? 1800.0f : 2700.0f);
            Rgb wood = FrameWoodAt(along + seed, static_cast<float>(across));
            // A rounded moulding lit from the upper left: on the top and left sides the outer
            // half faces the light, on the others the inner half.
            float t = (across + 0.5f) / kFrameWidth;
            float relief = 0.2f * std::cos(3.14159265f * t);
            float shade = litSide ? 1.0f + relief : 1.0f - relief;
            int seamGap = horizontal
                              ? std::abs(std::min(toTop, toBottom) - std::min(toLeft, toRight))
                              : std::abs(std::min(toLeft, toRight) - std::min(toTop, toBottom));
            if (seamGap == 0) shade *= 0.72f;
            if (across == 0) shade *= 0.7f;
            board.At(x, y) = wood * shade;
        }
}

void PaintPanel(Canvas& board) {
    auto panel = [](float x, float y) {
        return SdRoundRect(x, y, kPanelLeft, kPanelTop, kPanelRight + 1, kPanelBottom + 1, 0.0f);
    };
    DropShadow(board, panel, 2.0f, 3.0f, 0.0f, 5.0f, Rgb{60, 40, 20}, 0.5f);
    for (int y = kPanelTop; y <= kPanelBottom; ++y)
        for (int x = kPanelLeft; x <= kPanelRight; ++x) {
            bool border = x < kPanelLeft + kPanelBorderSide || x > kPanelRight - kPanelBorderSide ||
                          y < kPanelTop + kPanelBorderTop || y > kPanelBottom - kPanelBorderBottom;
            board.At(x, y) = border ? kPanelBorder : Grey(BandOfLight(x));
        }
}

}  // namespace

Canvas MakeBackground() {
    Canvas board(kBoardWidth, kBoardHeight);
    PaintField(board);
    PaintFrame(board);
    PaintPanel(board);

    Random random(0x5C4E3);
    const float inset = kFrameWidth / 2.0f;
    for (auto [x, y] : {std::pair{inset, inset},
                        {kBoardWidth - inset, inset},
                        {inset, kBoardHeight - inset},
                        {kBoardWidth - inset, kBoardHeight - inset}})
        DrawScrew(board, x, y, 4.4f, static_cast<float>(random.Range(0.0, 3.14159)));
    // Panel screws sit on the border's corners, small enough to leave the black interior clear
    // beyond a few pixels of each corner.
    const float sideMid = kPanelBorderSide / 2.0f;
    const float left = kPanelLeft + sideMid, right = kPanelRight + 1 - sideMid;
    const float top = kPanelTop + kPanelBorderTop / 2.0f,
                bottom = kPanelBottom + 1 - kPanelBorderBottom / 2.0f;
    for (auto [x, y] : {std::pair{left, top}, {right, top}, {left, bottom}, {right, bottom}})
        DrawScrew(board, x, y, 3.0f, static_cast<float>(random.Range(0.0, 3.14159)));
    return board;
}
