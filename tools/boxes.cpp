// The closed box, the 22 opened boxes and the 22 money-board plates.
#include <algorithm>

#include "artwork.h"
#include "wood.h"

const char* const kAmountTexts[kValueCount] = {
    "1p",      "10p",     "50p",     "£1",      "£5",       "£10",      "£50",     "£100",
    "£250",    "£500",    "£750",    "£1,000",  "£3,000",   "£5,000",   "£10,000", "£15,000",
    "£20,000", "£35,000", "£50,000", "£75,000", "£100,000", "£250,000",
};

namespace {

// Amount lettering: an em of 13.5 pixels gives digits exactly 10 rows high once hinted.
constexpr float kAmountPixelSize = 13.5f;
const Rgb kWhite{255, 255, 255};
const Rgb kLavender{204, 204, 255};

// White letters over a faint shadow in a darker shade of the ground: legible on pale fills too.
void DrawAmount(Canvas& canvas, const TextMask& mask, int left, int top, Rgb ground) {
    DrawMask(canvas, mask, left + 1, top + 1, ground * 0.45f, 0.55f);
    DrawMask(canvas, mask, left, top, kWhite);
}

int CentredLeft(const TextMask& mask, float centreX) {
    float inkCentre = (mask.inkLeft + mask.inkRight + 1) / 2.0f;
    return static_cast<int>(std::lround(centreX - inkCentre));
}

}  // namespace

Canvas MakeClosedBox() {
    Canvas box(kBoxWidth, kBoxHeight);
    for (int y = 0; y < kBoxHeight; ++y)
        for (int x = 0; x < kBoxWidth; ++x)
            box.At(x, y) =
                PineAt(x + 0.5f + kClosedBoxWoodOrigin.x, y + 0.5f + kClosedBoxWoodOrigin.y);

    // Front face: 68 x 53 from (5, 4).
    const float left = 5, top = 4, right = 73, bottom = 57;
    auto front = [=](float x, float y) {
        return SdRoundRect(x, y, left, top, right, bottom, 1.5f);
    };
    const Rgb shadow{132, 126, 109};
    auto shadowShape = [=](float x, float y) { return front(x - 5, y - 5); };
    FillShape(box, shadowShape, shadow, 0.92f);
    DropShadow(box, front, 5.0f, 5.0f, 0.5f, 3.0f, shadow, 0.35f);

    const Rgb red{255, 0, 0}, pink{246, 132, 142};
    FillShapeWith(box, front, [=](float x, float y) {
        Rgb c = Mix(red, pink, Clamp01((x - left) / (right - left)));
        // A little volume: a lit top rim, a darker foot.
        float rim = 1.0f - SmoothStep(top, top + 2.5f, y);
        float foot = SmoothStep(bottom - 4.0f, bottom, y);
        return Mix(c, Rgb{255, 200, 200}, rim * 0.45f) * (1.0f - 0.18f * foot);
    });
    // A fine dark edge keeps the pale right side from melting into the wood.
    auto edge = [=](float x, float y) { return std::fabs(front(x, y) + 0.5f) - 0.5f; };
    FillShape(box, edge, Rgb{150, 30, 40}, 0.45f);
    // The lid: a light pink seam 8 pixels below the top with its shadow under it.
    const float lidY = top + 8;
    auto lidSeam = [=](float x, float y) {
        return std::max(std::fabs(y - (lidY + 0.5f)) - 0.5f, front(x, y) + 1.0f);
    };
    auto lidShadow = [=](float x, float y) { return lidSeam(x, y - 1.0f); };
    FillShape(box, lidShadow, Rgb{150, 0, 20}, 0.35f);
    FillShape(box, lidSeam, Rgb{255, 196, 206});

    // The label: 54 x 27 from (12, 21), edged with a pink-orange glow.
    const float lx0 = 12, ly0 = 21, lx1 = 66, ly1 = 48;
    auto label = [=](float x, float y) { return SdRoundRect(x, y, lx0, ly0, lx1, ly1, 5.0f); };
    DropShadow(box, label, 0.0f, 0.0f, 1.5f, 4.5f, Rgb{255, 168, 112}, 0.85f);
    const Rgb yellow{240, 237, 41};
    FillShapeWith(box, label, [=](float, float y) {
        float t = (y - ly0) / (ly1 - ly0);
        return Mix(Mix(yellow, kWhite, 0.18f), Mix(yellow, Rgb{220, 200, 20}, 0.5f),
                   SmoothStep(0.0f, 1.0f, t));
    });
    return box;
}

Canvas MakeOpenBox(int k, const TextRenderer& font) {
    const bool high = k >= kFirstHighValue;
    const Rgb edge = high ? Rgb{254, 26, 13} : Rgb{115, 115, 217};
    const Rgb spot = high ? Rgb{254, 162, 111} : Rgb{183, 183, 224};
    // The light spot sits in the upper middle; the edge colour is reached before the frame.
    const float spotX = kBoxWidth / 2.0f, spotY = 19.0f, reachX = 44.0f, reachY = 40.0f;

    Canvas box(kBoxWidth, kBoxHeight, kLavender);
    for (int y = 2; y < kBoxHeight - 2; ++y)
        for (int x = 2; x < kBoxWidth - 2; ++x) {
            float dx = (x + 0.5f - spotX) / reachX, dy = (y + 0.5f - spotY) / reachY;
            float t = Clamp01(std::sqrt(dx * dx + dy * dy));
            box.At(x, y) = Mix(spot, edge, SmoothStep(0.0f, 1.0f, std::pow(t, 0.8f)));
        }

    const TextMask mask = font.Render(kAmountTexts[k], kAmountPixelSize);
    // Digits stand on rows 29 to 38: the baseline is the lower edge of row 38.
    const int top = 39 - mask.baseline;
    const int left = CentredLeft(mask, kBoxWidth / 2.0f);
    Rgb ground = box.At(kBoxWidth / 2, 34);
    DrawAmount(box, mask, left, top, ground);
    return box;
}

Canvas MakePlate(int k, const TextRenderer& font) {
    static const Rgb kFills[kValueCount] = {
        {25, 0, 191},    {30, 2, 210},    {36, 6, 226},    {33, 0, 249},    {77, 50, 255},
        {96, 71, 255},   {116, 95, 255},  {129, 110, 255}, {142, 125, 255}, {154, 139, 255},
        {170, 157, 255}, {255, 158, 131}, {255, 147, 117}, {255, 140, 108}, {255, 134, 100},
        {255, 127, 91},  {255, 116, 77},  {255, 104, 62},  {255, 91, 45},   {255, 76, 27},
        {248, 54, 0},    {221, 51, 3},
    };
    constexpr int kPlateBodyWidth = 105;
    constexpr float kCornerRadius = 7.0f;
    // Left column: bar on the left, plate on the right; right column the other way round.
    const bool barOnLeft = k < kFirstHighValue;
    const float plateLeft = barOnLeft ? kPlateWidth - kPlateBodyWidth : 0.0f;
    const float plateRight = plateLeft + kPlateBodyWidth;

    Canvas plate(kPlateWidth, kPlateHeight);
    const Rgb barRows[4] = {{178, 178, 178}, {255, 255, 255}, {127, 127, 127}, {76, 76, 76}};
    const int barFrom = barOnLeft ? 0 : static_cast<int>(plateRight) - 3;
    const int barTo = barOnLeft ? static_cast<int>(plateLeft) + 3 : kPlateWidth;
    for (int row = 0; row < 4; ++row)
        for (int x = barFrom; x < barTo; ++x) plate.At(x, 9 + row) = barRows[row];

    auto outer = [=](float x, float y) {
        return SdRoundRect(x, y, plateLeft, 0, plateRight, kPlateHeight, kCornerRadius);
    };
    auto inner = [=](float x, float y) { return outer(x, y) + 1.0f; };
    // The outline turns lavender where it rounds the corners.
    FillShapeWith(plate, outer, [=](float x, float y) {
        float inX = std::min(x - plateLeft, plateRight - x), inY = std::min(y, kPlateHeight - y);
        float corner = (1.0f - SmoothStep(kCornerRadius - 1.5f, kCornerRadius + 0.5f, inX)) *
                       (1.0f - SmoothStep(kCornerRadius - 2.5f, kCornerRadius - 0.5f, inY));
        return Mix(kWhite, kLavender, corner);
    });
    const Rgb fill = kFills[k];
    FillShape(plate, inner, fill);

    const TextMask mask = font.Render(kAmountTexts[k], kAmountPixelSize);
    // Digits on rows 6 to 15, centred on the plate's height.
    const int top = 16 - mask.baseline;
    const int left = CentredLeft(mask, (plateLeft + plateRight) / 2.0f);
    DrawAmount(plate, mask, left, top, fill);
    return plate;
}
