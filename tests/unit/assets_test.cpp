// The generated bitmaps, icon and sounds: their formats, and what each shows or sounds like.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "asset_readers.h"

namespace {

using asset_readers::Bitmap;
using asset_readers::Rgb;
using asset_readers::Wave;

constexpr int kValueCount = 22;
constexpr int kFirstHighValue = 11;  // £1,000: right column, red boxes

std::string AssetPath(const std::string& name) {
    return std::string(QUORVANT_ASSET_DIR) + "/" + name;
}

std::string Numbered(const char* stem, int k) {
    char name[40];
    std::snprintf(name, sizeof name, "%s_%02d.bmp", stem, k);
    return name;
}

// Each file is read once for the whole run.
const Bitmap& LoadBitmap(const std::string& name) {
    static std::map<std::string, Bitmap> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.emplace(name, asset_readers::ReadBitmap(AssetPath(name))).first;
    return it->second;
}

const Wave& LoadSound(int n) {
    static std::map<int, Wave> cache;
    auto it = cache.find(n);
    if (it == cache.end())
        it = cache
                 .emplace(n,
                          asset_readers::ReadWave(AssetPath("sound_" + std::to_string(n) + ".wav")))
                 .first;
    return it->second;
}

std::string Show(Rgb c) {
    std::ostringstream s;
    s << "(" << c.r << ", " << c.g << ", " << c.b << ")";
    return s.str();
}

::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance &&
        std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << Show(actual) << " is not within " << tolerance << " of " << Show(expected);
}

bool White(Rgb c, int floor = 235) { return c.r >= floor && c.g >= floor && c.b >= floor; }

// Whether the test can index the bitmap: decoded, and of the expected size.
::testing::AssertionResult IsPicture(const Bitmap& bmp, int width, int height) {
    if (!bmp.Decoded()) return ::testing::AssertionFailure() << "not a decodable 24-bit bitmap";
    if (bmp.width != width || bmp.height != height)
        return ::testing::AssertionFailure()
               << bmp.width << " x " << bmp.height << " instead of " << width << " x " << height;
    return ::testing::AssertionSuccess();
}

// ---- Every bitmap -------------------------------------------------------------------------------

struct BitmapSize {
    std::string name;
    int width, height;
};

std::vector<BitmapSize> AllBitmaps() {
    std::vector<BitmapSize> rows = {
        {"banker_phone.bmp", 147, 93}, {"closed_box.bmp", 85, 67}, {"background.bmp", 765, 574}};
    for (int k = 0; k < kValueCount; ++k) {
        rows.push_back({Numbered("open_box", k), 85, 67});
        rows.push_back({Numbered("plate", k), 128, 23});
    }
    return rows;
}

TEST(BitmapFiles, EachIsAnUncompressed24BitBottomUpDibOfItsSize) {
    for (const BitmapSize& row : AllBitmaps()) {
        SCOPED_TRACE(row.name);
        const Bitmap& bmp = LoadBitmap(row.name);
        EXPECT_EQ(bmp.signature, "BM");
        EXPECT_EQ(bmp.infoSize, 40u);
        EXPECT_EQ(bmp.width, row.width);
        EXPECT_EQ(bmp.height, row.height) << "a positive height means bottom-up rows";
        EXPECT_EQ(bmp.planes, 1u);
        EXPECT_EQ(bmp.bitCount, 24u);
        EXPECT_EQ(bmp.compression, 0u);
        EXPECT_EQ(bmp.coloursUsed, 0u);
        EXPECT_EQ(bmp.pixelOffset, 54u) << "no colour table between header and pixels";
        EXPECT_EQ(bmp.declaredFileSize, bmp.fileSize);
        EXPECT_EQ(bmp.fileSize, 54 + bmp.Stride() * static_cast<size_t>(row.height))
            << "rows padded to 4 bytes";
    }
}

// ---- Money-board plates -------------------------------------------------------------------------

struct PlateRow {
    int k;
    const char* amount;
    Rgb fill;
};

const PlateRow kPlates[kValueCount] = {
    {0, "1p", {25, 0, 191}},          {1, "10p", {30, 2, 210}},
    {2, "50p", {36, 6, 226}},         {3, "£1", {33, 0, 249}},
    {4, "£5", {77, 50, 255}},         {5, "£10", {96, 71, 255}},
    {6, "£50", {116, 95, 255}},       {7, "£100", {129, 110, 255}},
    {8, "£250", {142, 125, 255}},     {9, "£500", {154, 139, 255}},
    {10, "£750", {170, 157, 255}},    {11, "£1,000", {255, 158, 131}},
    {12, "£3,000", {255, 147, 117}},  {13, "£5,000", {255, 140, 108}},
    {14, "£10,000", {255, 134, 100}}, {15, "£15,000", {255, 127, 91}},
    {16, "£20,000", {255, 116, 77}},  {17, "£35,000", {255, 104, 62}},
    {18, "£50,000", {255, 91, 45}},   {19, "£75,000", {255, 76, 27}},
    {20, "£100,000", {248, 54, 0}},   {21, "£250,000", {221, 51, 3}},
};

// The plate body: on the right of the bitmap in the left column, on the left in the right column.
struct PlateSpan {
    int left, right;  // inclusive columns of the rounded plate
    bool barOnLeft;
};

PlateSpan SpanOf(int k) {
    bool barOnLeft = k < kFirstHighValue;
    return barOnLeft ? PlateSpan{23, 127, true} : PlateSpan{0, 104, false};
}

std::string PlateTrace(const PlateRow& row) {
    return Numbered("plate", row.k) + " (" + row.amount + ")";
}

TEST(BoardPlates, FillIsTheAmountsFlatColour) {
    for (const PlateRow& row : kPlates) {
        SCOPED_TRACE(PlateTrace(row));
        const Bitmap& bmp = LoadBitmap(Numbered("plate", row.k));
        ASSERT_TRUE(IsPicture(bmp, 128, 23));
        const PlateSpan span = SpanOf(row.k);
        // Just inside either end of the plate: clear of the rounded corners and of the amount.
        for (int x : {span.left + 5, span.left + 8, span.right - 8, span.right - 5})
            for (int y : {4, 11, 18})
                EXPECT_TRUE(Near(bmp.At(x, y), row.fill, 1)) << "at " << x << ", " << y;
    }
}

TEST(BoardPlates, ConnectorBarRunsFromThePlateToTheBoardsOuterSide) {
    const Rgb bar[4] = {{178, 178, 178}, {255, 255, 255}, {127, 127, 127}, {76, 76, 76}};
    const Rgb black{0, 0, 0};
    for (const PlateRow& row : kPlates) {
        SCOPED_TRACE(PlateTrace(row));
        const Bitmap& bmp = LoadBitmap(Numbered("plate", row.k));
        ASSERT_TRUE(IsPicture(bmp, 128, 23));
        const PlateSpan span = SpanOf(row.k);
        const int barFrom = span.barOnLeft ? 0 : span.right + 1,
                  barTo = span.barOnLeft ? span.left - 1 : 127;
        ASSERT_GE(barTo - barFrom + 1, 18) << "the bar spans about 22 pixels";
        for (int x = barFrom; x <= barTo; ++x) {
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(bmp.At(x, 9 + i), bar[i]) << "row " << 9 + i << ", column " << x;
            EXPECT_EQ(bmp.At(x, 8), black) << "above the bar, column " << x;
            EXPECT_EQ(bmp.At(x, 13), black) << "below the bar, column " << x;
        }
        // The far side of the bitmap is plate, not bar.
        const int farX = span.barOnLeft ? 124 : 3;
        EXPECT_TRUE(Near(bmp.At(farX, 10), row.fill, 1)) << "plate at the side away from the bar";
    }
}

TEST(BoardPlates, PlateIsARoundedWhiteOutlinedShapeOnBlack) {
    const Rgb black{0, 0, 0}, white{255, 255, 255}, lavender{204, 204, 255};
    for (const PlateRow& row : kPlates) {
        SCOPED_TRACE(PlateTrace(row));
        const Bitmap& bmp = LoadBitmap(Numbered("plate", row.k));
        ASSERT_TRUE(IsPicture(bmp, 128, 23));
        const PlateSpan span = SpanOf(row.k);
        const int middle = (span.left + span.right) / 2;
        EXPECT_EQ(bmp.At(middle, 0), white) << "outline along the top";
        EXPECT_EQ(bmp.At(middle, 22), white) << "outline along the bottom";
        for (int x : {0, 127})
            for (int y : {0, 22})
                EXPECT_EQ(bmp.At(x, y), black) << "bitmap corner " << x << ", " << y;
        // Each rounded corner leaves its outermost pixel black and turns the outline lavender.
        for (int cornerX : {span.left, span.right})
            for (int cornerY : {0, 22}) {
                EXPECT_EQ(bmp.At(cornerX, cornerY), black)
                    << "plate corner " << cornerX << ", " << cornerY;
                bool lavenderSeen = false;
                for (int dy = 0; dy < 6; ++dy)
                    for (int dx = 0; dx < 6; ++dx) {
                        int x = cornerX == span.left ? cornerX + dx : cornerX - dx;
                        int y = cornerY == 0 ? dy : 22 - dy;
                        lavenderSeen = lavenderSeen || Near(bmp.At(x, y), lavender, 24);
                    }
                EXPECT_TRUE(lavenderSeen)
                    << "lavender outline at corner " << cornerX << ", " << cornerY;
            }
    }
}

// White pixels of the amount: their count, vertical extent and mean column.
struct Ink {
    int count = 0, top = 1 << 20, bottom = -1;
    double meanX = 0;
};

Ink WhiteInk(const Bitmap& bmp, int left, int right, int top, int bottom) {
    Ink ink;
    double sumX = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (White(bmp.At(x, y))) {
                ++ink.count;
                sumX += x;
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    if (ink.count) ink.meanX = sumX / ink.count;
    return ink;
}

TEST(BoardPlates, AmountIsWrittenInWhiteCentredOnThePlate) {
    for (const PlateRow& row : kPlates) {
        SCOPED_TRACE(PlateTrace(row));
        const Bitmap& bmp = LoadBitmap(Numbered("plate", row.k));
        ASSERT_TRUE(IsPicture(bmp, 128, 23));
        const PlateSpan span = SpanOf(row.k);
        // Inside the outline only.
        const Ink ink = WhiteInk(bmp, span.left + 2, span.right - 2, 2, 20);
        EXPECT_GE(ink.count, 20) << "white letters";
        EXPECT_GE(ink.top, 4);
        EXPECT_LE(ink.bottom, 19);
        EXPECT_NEAR(ink.meanX, (span.left + span.right) / 2.0, 4.0) << "centred across the plate";
        // Longer amounts carry more ink: a crude check that the right text is on the right plate.
        const size_t characters = std::string(row.amount).size();
        EXPECT_GE(ink.count, static_cast<int>(characters) * 6);
    }
}

// ---- Opened boxes -------------------------------------------------------------------------------

struct OpenBoxRow {
    int k;
    const char* amount;
};

const OpenBoxRow kOpenBoxes[kValueCount] = {
    {0, "1p"},        {1, "10p"},       {2, "50p"},      {3, "£1"},       {4, "£5"},
    {5, "£10"},       {6, "£50"},       {7, "£100"},     {8, "£250"},     {9, "£500"},
    {10, "£750"},     {11, "£1,000"},   {12, "£3,000"},  {13, "£5,000"},  {14, "£10,000"},
    {15, "£15,000"},  {16, "£20,000"},  {17, "£35,000"}, {18, "£50,000"}, {19, "£75,000"},
    {20, "£100,000"}, {21, "£250,000"},
};

std::string OpenBoxTrace(const OpenBoxRow& row) {
    return Numbered("open_box", row.k) + " (" + row.amount + ")";
}

TEST(OpenedBoxes, FrameIsTwoPixelsOfPaleLavenderAllRound) {
    const Rgb lavender{204, 204, 255};
    for (const OpenBoxRow& row : kOpenBoxes) {
        SCOPED_TRACE(OpenBoxTrace(row));
        const Bitmap& bmp = LoadBitmap(Numbered("open_box", row.k));
        ASSERT_TRUE(IsPicture(bmp, 85, 67));
        int wrong = 0;
        for (int y = 0; y < 67; ++y)
            for (int x = 0; x < 85; ++x) {
                bool frame = x < 2 || y < 2 || x > 82 || y > 64;
                if (frame && !(bmp.At(x, y) == lavender)) ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "frame pixels of another colour";
        for (auto [x, y] : {std::pair{2, 33}, {82, 33}, {42, 2}, {42, 64}})
            EXPECT_FALSE(bmp.At(x, y) == lavender)
                << "the frame is only two pixels wide, at " << x << ", " << y;
    }
}

TEST(OpenedBoxes, GradientIsBlueBelowAThousandPoundsAndRedFromThere) {
    const Rgb blueEdge{115, 115, 217}, blueSpot{183, 183, 224};
    const Rgb redEdge{254, 26, 13}, redSpot{254, 162, 111};
    for (const OpenBoxRow& row : kOpenBoxes) {
        SCOPED_TRACE(OpenBoxTrace(row));
        const Bitmap& bmp = LoadBitmap(Numbered("open_box", row.k));
        ASSERT_TRUE(IsPicture(bmp, 85, 67));
        const bool high = row.k >= kFirstHighValue;
        const Rgb edge = high ? redEdge : blueEdge, spot = high ? redSpot : blueSpot;
        for (auto [x, y] : {std::pair{2, 2}, {82, 2}, {2, 64}, {82, 64}, {2, 50}, {82, 50}})
            EXPECT_TRUE(Near(bmp.At(x, y), edge, 8)) << "edge at " << x << ", " << y;
        // The light spot: the brightest point above the amount, in the upper middle.
        int bestX = 0, bestY = 0, bestSum = -1;
        for (int y = 2; y < 26; ++y)
            for (int x = 2; x < 83; ++x) {
                Rgb c = bmp.At(x, y);
                if (c.r + c.g + c.b > bestSum) bestSum = c.r + c.g + c.b, bestX = x, bestY = y;
            }
        EXPECT_TRUE(Near(bmp.At(bestX, bestY), spot, 6)) << "light spot";
        EXPECT_NEAR(bestX, 42, 6) << "light spot across";
        EXPECT_LE(bestY, 24) << "light spot in the upper half";
        // It really is a gradient: halfway from the spot to a side lies between the two colours.
        Rgb half = bmp.At(22, 19);
        EXPECT_GT(half.g, std::min(edge.g, spot.g));
        EXPECT_LT(half.g, std::max(edge.g, spot.g));
    }
}

TEST(OpenedBoxes, AmountStandsInWhiteAcrossTheMiddle) {
    for (const OpenBoxRow& row : kOpenBoxes) {
        SCOPED_TRACE(OpenBoxTrace(row));
        const Bitmap& bmp = LoadBitmap(Numbered("open_box", row.k));
        ASSERT_TRUE(IsPicture(bmp, 85, 67));
        const Ink inRows = WhiteInk(bmp, 2, 82, 29, 38);
        EXPECT_GE(inRows.count, static_cast<int>(std::string(row.amount).size()) * 6)
            << "white letters on rows 29 to 38";
        const Ink all = WhiteInk(bmp, 2, 82, 2, 64);
        EXPECT_EQ(all.top, 29) << "letters about 10 pixels high start on row 29";
        EXPECT_LE(all.bottom, 42) << "only descenders reach below row 38";
        EXPECT_NEAR(all.meanX, 42.0, 4.0) << "centred, or a little left of centre";
    }
}

// ---- The closed box -----------------------------------------------------------------------------

TEST(ClosedBox, ShowsARedBoxWithAYellowLabelOnPine) {
    const Bitmap& bmp = LoadBitmap("closed_box.bmp");
    ASSERT_TRUE(IsPicture(bmp, 85, 67));
    struct Probe {
        const char* what;
        int x, y;
        Rgb expected;
        int tolerance;
    };
    const Probe probes[] = {
        {"front, left end: pure red", 7, 52, {255, 0, 0}, 16},
        {"front, right end: pinkish red", 71, 52, {246, 132, 142}, 16},
        {"label middle", 39, 34, {240, 237, 41}, 20},
        {"label near its left end", 16, 34, {240, 237, 41}, 20},
        {"label near its right end", 62, 34, {240, 237, 41}, 20},
        {"drop shadow right of the box", 76, 35, {132, 126, 109}, 16},
        {"drop shadow below the box", 40, 60, {132, 126, 109}, 16},
    };
    for (const Probe& p : probes)
        EXPECT_TRUE(Near(bmp.At(p.x, p.y), p.expected, p.tolerance)) << p.what;

    // The front shades from red to pink across; the lid line is lighter than the red about it.
    EXPECT_GT(bmp.At(60, 17).g, bmp.At(20, 17).g + 40);
    for (int x : {20, 40, 60}) {
        EXPECT_GT(bmp.At(x, 12).g, bmp.At(x, 10).g + 40) << "lid line at column " << x;
        EXPECT_GT(bmp.At(x, 12).g, bmp.At(x, 15).g + 40) << "lid line at column " << x;
    }
    // The glow: between label and red front the colour warms to pink-orange.
    for (auto [x, y] : {std::pair{10, 34}, {39, 19}, {39, 50}}) {
        Rgb c = bmp.At(x, y);
        EXPECT_GE(c.r, 235) << "glow at " << x << ", " << y;
        EXPECT_GE(c.g, 70) << "glow at " << x << ", " << y;
        EXPECT_LT(c.g, 220) << "glow, not label, at " << x << ", " << y;
    }
}

// Light pine: pale yellow-brown, red over green over blue.
::testing::AssertionResult Pine(Rgb c) {
    if (c.r >= 175 && c.r <= 240 && c.g >= 140 && c.g <= 215 && c.b >= 80 && c.b <= 165 &&
        c.r > c.g && c.g > c.b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Show(c) << " is not light pine";
}

TEST(ClosedBox, WoodSurroundsTheBox) {
    const Bitmap& bmp = LoadBitmap("closed_box.bmp");
    ASSERT_TRUE(IsPicture(bmp, 85, 67));
    for (int x = 0; x < 85; ++x) EXPECT_TRUE(Pine(bmp.At(x, 1))) << "top edge, column " << x;
    for (int y = 0; y < 67; ++y) {
        EXPECT_TRUE(Pine(bmp.At(1, y))) << "left edge, row " << y;
        EXPECT_TRUE(Pine(bmp.At(83, y))) << "right edge, row " << y;
    }
    for (int x = 0; x < 8; ++x) EXPECT_TRUE(Pine(bmp.At(x, 65))) << "bottom left, column " << x;
}

// ---- The background -----------------------------------------------------------------------------

// The panel and its border, in pixels, edges inclusive.
constexpr int kPanelLeft = 108, kPanelTop = 84, kPanelRight = 655, kPanelBottom = 388;
constexpr int kInteriorLeft = 113, kInteriorTop = 88, kInteriorRight = 650, kInteriorBottom = 383;
// The panel's corner screws sit on the border's corners and reach a few pixels into the black; the
// checks of the interior keep clear of the top and bottom seven rows and the border checks of 15
// pixels round each corner.
constexpr int kClearTop = kInteriorTop + 7, kClearBottom = kInteriorBottom - 7,
              kCornerClearance = 15;

TEST(Background, PanelBorderIsBlueVioletFiveWideAndFourAtTheTop) {
    const Bitmap& bmp = LoadBitmap("background.bmp");
    ASSERT_TRUE(IsPicture(bmp, 765, 574));
    const Rgb border{102, 102, 204};
    struct Side {
        const char* what;
        bool vertical;        // a side running down the panel
        int from, to;         // the border's columns (or rows), inclusive
        int outside, inside;  // the columns (or rows) either side of it
    };
    const Side sides[] = {
        {"left", true, kPanelLeft, kInteriorLeft - 1, kPanelLeft - 1, kInteriorLeft},
        {"right", true, kInteriorRight + 1, kPanelRight, kPanelRight + 1, kInteriorRight},
        {"top", false, kPanelTop, kInteriorTop - 1, kPanelTop - 1, kInteriorTop},
        {"bottom", false, kInteriorBottom + 1, kPanelBottom, kPanelBottom + 1, kInteriorBottom},
    };
    for (const Side& side : sides) {
        SCOPED_TRACE(side.what);
        const int along0 = side.vertical ? kPanelTop : kPanelLeft,
                  along1 = side.vertical ? kPanelBottom : kPanelRight;
        for (int a = along0 + kCornerClearance; a <= along1 - kCornerClearance; ++a) {
            auto at = [&](int across) {
                return side.vertical ? bmp.At(across, a) : bmp.At(a, across);
            };
            for (int across = side.from; across <= side.to; ++across)
                ASSERT_EQ(at(across), border) << "at " << a << "/" << across;
            ASSERT_FALSE(at(side.outside) == border) << "border wider than described at " << a;
            ASSERT_FALSE(at(side.inside) == border) << "border reaches into the interior at " << a;
        }
    }
}

// Brightness of the band of light at column x, read from the first clear row.
std::vector<int> BandProfile(const Bitmap& bmp) {
    std::vector<int> profile;
    for (int x = kInteriorLeft; x <= kInteriorRight; ++x) profile.push_back(bmp.At(x, kClearTop).r);
    return profile;
}

TEST(Background, BandOfLightIsTheSameOnEveryRow) {
    const Bitmap& bmp = LoadBitmap("background.bmp");
    ASSERT_TRUE(IsPicture(bmp, 765, 574));
    const std::vector<int> profile = BandProfile(bmp);
    for (int y = kClearTop; y <= kClearBottom; ++y)
        for (int x = kInteriorLeft; x <= kInteriorRight; ++x) {
            const int v = profile[x - kInteriorLeft];
            ASSERT_EQ(bmp.At(x, y), (Rgb{v, v, v}))
                << "row " << y << ", column " << x << ": neutral grey as on every row";
        }
}

TEST(Background, BandOfLightRisesFromBlackToNearWhiteAndFallsBack) {
    const Bitmap& bmp = LoadBitmap("background.bmp");
    ASSERT_TRUE(IsPicture(bmp, 765, 574));
    const std::vector<int> profile = BandProfile(bmp);
    auto at = [&](int x) { return profile[x - kInteriorLeft]; };
    for (int x = kInteriorLeft; x <= 240; ++x)
        EXPECT_LE(at(x), 3) << "black left of the band, column " << x;
    for (int x = 520; x <= kInteriorRight; ++x)
        EXPECT_LE(at(x), 3) << "black right of the band, column " << x;
    int peakX = kInteriorLeft;
    for (int x = kInteriorLeft; x <= kInteriorRight; ++x)
        if (at(x) > at(peakX)) peakX = x;
    EXPECT_NEAR(peakX, 380, 10);
    EXPECT_GE(at(peakX), 245);
    EXPECT_LE(at(peakX), 255);
    for (int x = 241; x < peakX; ++x)
        EXPECT_LE(at(x), at(x + 1)) << "brightening through column " << x;
    for (int x = peakX; x < 520; ++x)
        EXPECT_GE(at(x), at(x + 1)) << "darkening through column " << x;
    // Through greys, not a step: halfway up is mid-grey.
    EXPECT_NEAR(at(310), 126, 40);
    EXPECT_NEAR(at(450), 126, 40);
}

TEST(Background, WoodenFrameWithALightLineAroundAPineField) {
    const Bitmap& bmp = LoadBitmap("background.bmp");
    ASSERT_TRUE(IsPicture(bmp, 765, 574));
    auto average = [&bmp](int x0, int y0, int x1, int y1) {
        long r = 0, g = 0, b = 0, n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                Rgb c = bmp.At(x, y);
                r += c.r, g += c.g, b += c.b, ++n;
            }
        return Rgb{static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
    };
    struct Strip {
        const char* what;
        int x0, y0, x1, y1;
    };
    const Strip frame[] = {{"top", 100, 0, 660, 11},
                           {"bottom", 100, 562, 660, 573},
                           {"left", 0, 100, 11, 470},
                           {"right", 753, 100, 764, 470}};
    for (const Strip& s : frame) {
        SCOPED_TRACE(std::string("frame ") + s.what);
        Rgb c = average(s.x0, s.y0, s.x1, s.y1);
        // Reddish-brown between about (159, 92, 44) and (103, 51, 45).
        EXPECT_GE(c.r, 90);
        EXPECT_LE(c.r, 175);
        EXPECT_GE(c.r - c.g, 35);
        EXPECT_LE(c.b, 70);
    }
    for (int y = 150; y < 450; y += 50) {
        EXPECT_GT(bmp.At(12, y).g, bmp.At(11, y).g + 40)
            << "light line inside the left frame, row " << y;
        EXPECT_GT(bmp.At(752, y).g, bmp.At(753, y).g + 40)
            << "light line inside the right frame, row " << y;
    }
    // The field below the panel, between the lists.
    Rgb field = average(270, 395, 490, 415);
    EXPECT_TRUE(Pine(field));
    // Grain runs across: the wood changes more from row to row than from column to column.
    long down = 0, across = 0;
    for (int y = 395; y < 560; ++y)
        for (int x = 200; x < 560; ++x) {
            down += std::abs(bmp.At(x, y + 1).g - bmp.At(x, y).g);
            across += std::abs(bmp.At(x + 1, y).g - bmp.At(x, y).g);
        }
    EXPECT_GT(down, across * 3 / 2);
}

// Silver: neutral and bright enough.
int SilverPixelsAround(const Bitmap& bmp, double cx, double cy, double radius) {
    int count = 0;
    for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y)
        for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x) {
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) > radius) continue;
            Rgb c = bmp.At(x, y);
            if (std::abs(c.r - c.g) <= 14 && std::abs(c.g - c.b) <= 14 && c.g >= 100) ++count;
        }
    return count;
}

TEST(Background, ScrewHeadsSitInTheCornersOfBoardAndPanel) {
    const Bitmap& bmp = LoadBitmap("background.bmp");
    ASSERT_TRUE(IsPicture(bmp, 765, 574));
    struct Screw {
        double x, y, radius;
        int atLeast;
    };
    const Screw screws[] = {
        {6, 6, 4, 15},       {759, 6, 4, 15},     {6, 568, 4, 15},        {759, 568, 4, 15},
        {110.5, 86, 2.5, 6}, {653.5, 86, 2.5, 6}, {110.5, 386.5, 2.5, 6}, {653.5, 386.5, 2.5, 6},
    };
    for (const Screw& s : screws)
        EXPECT_GE(SilverPixelsAround(bmp, s.x, s.y, s.radius), s.atLeast)
            << "silver screw head at " << s.x << ", " << s.y;
}

// ---- The banker's telephone ---------------------------------------------------------------------

TEST(BankerPhone, BlackTelephoneWithCordFillsAPlainTanPicture) {
    const Bitmap& bmp = LoadBitmap("banker_phone.bmp");
    ASSERT_TRUE(IsPicture(bmp, 147, 93));
    const Rgb tan{188, 138, 108};
    for (auto [x, y] : {std::pair{0, 0}, {146, 0}, {0, 92}, {146, 92}, {73, 0}, {0, 20}})
        EXPECT_EQ(bmp.At(x, y), tan) << "background at " << x << ", " << y;

    int dark = 0, minX = 147, maxX = -1, minY = 93, maxY = -1, cord = 0, cream = 0;
    for (int y = 0; y < 93; ++y)
        for (int x = 0; x < 147; ++x) {
            Rgb c = bmp.At(x, y);
            if (c.r < 70 && c.g < 70 && c.b < 70) {
                ++dark;
                minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y),
                maxY = std::max(maxY, y);
                if (x < 14 && y >= 40 && y <= 80) ++cord;
            }
            if (c.r >= 200 && c.g >= 190 && c.b >= 160 && std::hypot(x - 78.0, y - 62.0) < 20)
                ++cream;
        }
    EXPECT_GE(dark, 147 * 93 * 35 / 100) << "a black telephone filling much of the picture";
    EXPECT_LE(minX, 6);
    EXPECT_GE(maxX, 140);
    EXPECT_LE(minY, 12);
    EXPECT_GE(maxY, 86);
    EXPECT_GE(cord, 60) << "the cord hanging at the left";
    EXPECT_GE(cream, 60) << "the dial's finger holes and centre card";
}

// ---- The icon -----------------------------------------------------------------------------------

TEST(GameIcon, HoldsOne32x32SixteenColourImageWithAMask) {
    using asset_readers::U16;
    using asset_readers::U32;
    const std::vector<uint8_t> b = asset_readers::ReadBytes(AssetPath("game.ico"));
    constexpr size_t kDir = 6 + 16, kInfo = 40, kPalette = 16 * 4, kColour = 32 * 16,
                     kMask = 32 * 4;
    ASSERT_EQ(b.size(), kDir + kInfo + kPalette + kColour + kMask);
    EXPECT_EQ(U16(b, 0), 0u) << "reserved";
    EXPECT_EQ(U16(b, 2), 1u) << "type: icon";
    EXPECT_EQ(U16(b, 4), 1u) << "one image";
    EXPECT_EQ(b[6], 32) << "width";
    EXPECT_EQ(b[7], 32) << "height";
    EXPECT_EQ(b[8], 16) << "colours";
    EXPECT_EQ(U16(b, 10), 1u) << "planes";
    EXPECT_EQ(U16(b, 12), 4u) << "bits per pixel";
    EXPECT_EQ(U32(b, 14), b.size() - kDir) << "bytes in the image";
    EXPECT_EQ(U32(b, 18), kDir) << "image offset";
    EXPECT_EQ(U32(b, 22), kInfo);
    EXPECT_EQ(U32(b, 26), 32u);
    EXPECT_EQ(U32(b, 30), 64u) << "height counts colour bitmap and mask";
    EXPECT_EQ(U16(b, 34), 1u);
    EXPECT_EQ(U16(b, 36), 4u);
    EXPECT_EQ(U32(b, 38), 0u) << "uncompressed";
    const Rgb vga[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                         {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                         {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                         {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) {
        size_t at = kDir + kInfo + 4 * i;
        EXPECT_EQ((Rgb{b[at + 2], b[at + 1], b[at]}), vga[i]) << "palette entry " << i;
    }
}

struct IconPixels {
    std::vector<int> index;         // 32 x 32, rows top-down
    std::vector<bool> transparent;  // 32 x 32
};

IconPixels DecodeIcon() {
    const std::vector<uint8_t> b = asset_readers::ReadBytes(AssetPath("game.ico"));
    IconPixels icon{std::vector<int>(1024), std::vector<bool>(1024)};
    const size_t colour = 22 + 40 + 64, mask = colour + 32 * 16;
    if (b.size() < mask + 32 * 4) return icon;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            int row = 31 - y;  // bottom-up
            uint8_t pair = b[colour + row * 16 + x / 2];
            icon.index[y * 32 + x] = x % 2 ? pair & 0xF : pair >> 4;
            icon.transparent[y * 32 + x] = (b[mask + row * 4 + x / 8] >> (7 - x % 8)) & 1;
        }
    return icon;
}

TEST(GameIcon, ShowsARedBoxWithAQuestionMarkOnItsGreyFront) {
    const IconPixels icon = DecodeIcon();
    enum { kMaroon = 1, kSilver = 7, kRed = 9, kYellow = 11 };
    int counts[16] = {}, opaque = 0, questionMark = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            int i = y * 32 + x;
            if (icon.transparent[i]) {
                EXPECT_EQ(icon.index[i], 0)
                    << "a transparent pixel must be black to leave the desktop untouched, at " << x
                    << ", " << y;
                continue;
            }
            ++opaque;
            ++counts[icon.index[i]];
            if (icon.index[i] == kRed && x >= 5 && x <= 18 && y >= 14 && y <= 27) ++questionMark;
        }
    EXPECT_TRUE(icon.transparent[0]) << "corners show the desktop";
    EXPECT_TRUE(icon.transparent[32 * 32 - 1]);
    EXPECT_GE(opaque, 500);
    EXPECT_LE(opaque, 900)
        << "a three-quarter view leaves the top-right and bottom-left corners clear";
    EXPECT_GE(counts[kSilver], 100) << "light grey front";
    EXPECT_GE(counts[kRed], 150) << "red edges and question mark";
    EXPECT_GE(counts[kMaroon], 100) << "dark red shading";
    EXPECT_GE(counts[kYellow], 20) << "yellow highlights";
    EXPECT_GE(questionMark, 30) << "a large red question mark on the front";
}

// ---- Sounds -------------------------------------------------------------------------------------

struct SoundRow {
    int n;
    const char* name;
    size_t samples;
    double peak;  // share of full scale
};

const SoundRow kSounds[] = {
    {0, "reveal", 16608, 0.90},   {1, "bad", 22529, 0.80},       {2, "ambient", 33217, 0.22},
    {3, "ring", 28736, 0.23},     {4, "good mild", 33920, 1.00}, {5, "good", 38144, 1.00},
    {6, "bad mild", 11648, 0.98}, {7, "title", 64148, 0.88},     {8, "prompt", 11936, 0.98},
    {9, "ring end", 4408, 0.95},
};

std::string SoundTrace(int n) {
    for (const SoundRow& row : kSounds)
        if (row.n == n) return "sound_" + std::to_string(n) + ".wav (" + row.name + ")";
    return "sound " + std::to_string(n);
}

TEST(Sounds, EachIsAComplete8BitMonoPcmWaveWithItsSampleCount) {
    for (const SoundRow& row : kSounds) {
        SCOPED_TRACE(SoundTrace(row.n));
        const Wave& w = LoadSound(row.n);
        EXPECT_EQ(w.riff, "RIFF");
        EXPECT_EQ(w.wave, "WAVE");
        EXPECT_EQ(w.riffSize, w.fileSize - 8)
            << "the RIFF size counts everything after it, pad bytes included";
        EXPECT_TRUE(w.chunksFitFile)
            << "chunks, each padded to an even length, fill the file exactly";
        EXPECT_EQ(w.chunks, (std::vector<std::string>{"fmt ", "data", "LIST"}));
        EXPECT_EQ(w.fmtSize, 16u);
        EXPECT_EQ(w.formatTag, 1u) << "PCM";
        EXPECT_EQ(w.channels, 1u);
        EXPECT_EQ(w.rate, 11025u);
        EXPECT_EQ(w.byteRate, 11025u);
        EXPECT_EQ(w.blockAlign, 1u);
        EXPECT_EQ(w.bitsPerSample, 8u);
        EXPECT_EQ(w.samples.size(), row.samples);
        EXPECT_EQ(w.listType, "INFO");
    }
}

TEST(Sounds, PeakLevelIsWithinThreePointsOfTheDescription) {
    for (const SoundRow& row : kSounds) {
        SCOPED_TRACE(SoundTrace(row.n));
        EXPECT_NEAR(asset_readers::PeakShare(LoadSound(row.n).samples), row.peak, 0.03);
    }
}

struct BandRow {
    int n;
    double lo, hi;    // Hz
    double minShare;  // of all the power but the steady component
    double maxShare;
};

// "Mostly" is more than half; "nearly all" is at least four fifths. "Broad" spreads at least a
// tenth of the power over each of the low, middle and high ranges.
const BandRow kBands[] = {
    {0, 0, 250, 0.80, 1.0},     // a deep hit
    {1, 500, 2000, 0.50, 1.0},  // mid-range
    {2, 0, 500, 0.10, 0.80},    // broad
    {2, 500, 2000, 0.10, 0.80}, {2, 2000, 5513, 0.10, 0.80}, {3, 1000, 4000, 0.60, 1.0},  // bright
    {4, 0, 500, 0.10, 0.80},  // broadband
    {4, 500, 2000, 0.10, 0.80}, {4, 2000, 5513, 0.10, 0.80}, {5, 0, 500, 0.10, 0.80},
    {5, 500, 2000, 0.10, 0.80}, {5, 2000, 5513, 0.10, 0.80}, {6, 250, 1000, 0.50, 1.0},  // low
    {7, 0, 250, 0.40, 0.90},  // a strong low end in a broad spectrum
    {7, 500, 5513, 0.10, 1.0},  {8, 0, 500, 0.50, 1.0},      {9, 250, 2000, 0.50, 1.0},
};

TEST(Sounds, PowerLiesInTheDescribedBands) {
    for (const BandRow& row : kBands) {
        SCOPED_TRACE(SoundTrace(row.n) + " between " + std::to_string(static_cast<int>(row.lo)) +
                     " and " + std::to_string(static_cast<int>(row.hi)) + " Hz");
        const auto spectrum =
            asset_readers::PowerSpectrum(asset_readers::Centred(LoadSound(row.n).samples));
        const double share = asset_readers::BandShare(spectrum, row.lo, row.hi);
        EXPECT_GE(share, row.minShare);
        EXPECT_LE(share, row.maxShare);
    }
}

struct CentreRow {
    int n;
    double hz, tolerance;
};

const CentreRow kCentres[] = {
    {3, 2100, 300},  // the ring
    {4, 1700, 300},  // the cheers
    {5, 1700, 300},
};

TEST(Sounds, SpectralCentreIsWhereDescribed) {
    for (const CentreRow& row : kCentres) {
        SCOPED_TRACE(SoundTrace(row.n));
        const auto spectrum =
            asset_readers::PowerSpectrum(asset_readers::Centred(LoadSound(row.n).samples));
        EXPECT_NEAR(asset_readers::Centroid(spectrum), row.hz, row.tolerance);
    }
}

// The level of one stretch against another:
// RMS over [from, to) divided by RMS over [refFrom, refTo).
struct EnvelopeRow {
    int n;
    const char* what;
    double from, to, refFrom, refTo;
    double minRatio, maxRatio;
};

const EnvelopeRow kEnvelopes[] = {
    {0, "loudest at the start", 0.0, 0.15, 0.15, 0.6, 2.0, 1e9},
    {0, "silent at the end", 1.1, 1.51, 0.0, 0.15, 0.0, 0.01},
    {1, "fades over its first half", 0.6, 1.0, 0.15, 0.5, 0.45, 0.95},
    {1, "fades on through its second half", 1.2, 1.6, 0.6, 1.0, 0.2, 0.9},
    {1, "nearly gone at the end", 1.8, 2.04, 0.15, 0.5, 0.0, 0.2},
    {2, "steady through its middle", 1.0, 2.0, 0.1, 1.0, 0.7, 1.1},
    {2, "slowly softening", 2.0, 2.9, 0.1, 1.0, 0.5, 0.95},
    {3, "steady ringing", 0.75, 1.45, 0.05, 0.75, 0.7, 1.4},
    {3, "dying away after about 1.5 s", 1.7, 2.0, 0.05, 1.45, 0.05, 0.6},
    {3, "faint by the end", 2.3, 2.61, 0.05, 1.45, 0.0, 0.1},
    {4, "steady until about 2.3 s", 1.2, 2.25, 0.2, 1.2, 0.8, 1.25},
    {4, "fading out", 2.55, 2.8, 0.2, 2.25, 0.15, 0.75},
    {4, "faded by the end", 2.95, 3.08, 0.2, 2.25, 0.0, 0.1},
    {5, "steady until about 2.7 s", 1.4, 2.65, 0.2, 1.4, 0.8, 1.25},
    {5, "fading out", 2.95, 3.2, 0.2, 2.65, 0.15, 0.75},
    {5, "faded by the end", 3.35, 3.46, 0.2, 2.65, 0.0, 0.1},
    {6, "held for half a second", 0.25, 0.5, 0.02, 0.25, 0.7, 1.4},
    {6, "fading after it", 0.65, 0.85, 0.02, 0.5, 0.1, 0.7},
    {6, "faded by the end", 0.95, 1.06, 0.02, 0.5, 0.0, 0.1},
    {7, "loud to the very end", 5.32, 5.82, 0.0, 5.82, 0.75, 1.5},
    {8, "dip between the bursts", 0.32, 0.37, 0.05, 0.25, 0.0, 0.4},
    {8, "second burst as loud as the first", 0.45, 0.95, 0.05, 0.25, 0.6, 1.6},
    {9, "over quickly", 0.3, 0.4, 0.0, 0.15, 0.0, 0.05},
};

TEST(Sounds, EnvelopeFollowsTheDescribedShape) {
    for (const EnvelopeRow& row : kEnvelopes) {
        SCOPED_TRACE(SoundTrace(row.n) + ": " + row.what);
        const std::vector<double> x = asset_readers::Centred(LoadSound(row.n).samples);
        const double reference = asset_readers::Rms(x, row.refFrom, row.refTo);
        ASSERT_GT(reference, 0.0);
        const double ratio = asset_readers::Rms(x, row.from, row.to) / reference;
        EXPECT_GE(ratio, row.minRatio);
        EXPECT_LE(ratio, row.maxRatio);
    }
}

TEST(Sounds, RevealHitsAtTheStartAndIsSilentWithinAboutASecond) {
    const std::vector<uint8_t>& s = LoadSound(0).samples;
    size_t loudest = 0, lastSound = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        int deviation = std::abs(s[i] - 128);
        if (deviation > std::abs(s[loudest] - 128)) loudest = i;
        if (deviation > 1) lastSound = i;
    }
    EXPECT_LT(loudest / asset_readers::kSampleRate, 0.05) << "seconds to the peak";
    EXPECT_LE(lastSound / asset_readers::kSampleRate, 1.12) << "seconds to silence";
    EXPECT_GE(lastSound / asset_readers::kSampleRate, 0.6)
        << "it dies away rather than stopping short";
}

TEST(Sounds, TitleStaysLoudThroughout) {
    const std::vector<double> x = asset_readers::Centred(LoadSound(7).samples);
    const double overall = asset_readers::Rms(x, 0, 5.82);
    for (double t = 0; t + 0.5 <= 5.82; t += 0.5)
        EXPECT_GE(asset_readers::Rms(x, t, t + 0.5), 0.6 * overall)
            << "half second from " << t << " s";
}

struct BurstRow {
    int n;
    double threshold;  // share of the loudest level that counts as sounding
    std::vector<std::pair<double, double>>
        lengths;    // seconds, lowest and highest, one pair a burst
    double maxGap;  // seconds between consecutive bursts
};

TEST(Sounds, BurstsHaveTheDescribedLengths) {
    const BurstRow rows[] = {
        {8, 0.3, {{0.22, 0.38}, {0.5, 0.72}}, 0.15},  // about 0.3 s, a short dip, about 0.6 s
        {9, 0.1, {{0.03, 0.3}}, 0.0},                 // one short burst
    };
    for (const BurstRow& row : rows) {
        SCOPED_TRACE(SoundTrace(row.n));
        const auto bursts =
            asset_readers::Bursts(asset_readers::Centred(LoadSound(row.n).samples), row.threshold);
        ASSERT_EQ(bursts.size(), row.lengths.size());
        for (size_t i = 0; i < bursts.size(); ++i) {
            const double length = bursts[i].end - bursts[i].start;
            EXPECT_GE(length, row.lengths[i].first) << "burst " << i + 1;
            EXPECT_LE(length, row.lengths[i].second) << "burst " << i + 1;
            if (i > 0)
                EXPECT_LE(bursts[i].start - bursts[i - 1].end, row.maxGap)
                    << "dip before burst " << i + 1;
        }
    }
}

}  // namespace
