// The program's icon: a red box in three-quarter view bearing a question mark, in 16 VGA colours.
#include <algorithm>

#include "artwork.h"

namespace {

// Indices into the standard VGA palette.
enum Vga : uint8_t {
    kBlack = 0,
    kMaroon = 1,
    kSilver = 7,
    kRed = 9,
    kYellow = 11,
    kWhite = 15,
};

constexpr int kSide = 32;

using Polygon = std::vector<std::pair<float, float>>;

// Pixels on a shared edge belong to both faces, so none falls between them.
bool Covers(const Polygon& shape, int x, int y) {
    return SdPolygon(x + 0.5f, y + 0.5f, shape) < 0.5f;
}

}  // namespace

IconImage MakeGameIcon(const TextRenderer& font) {
    IconImage icon;
    icon.indices.assign(kSide * kSide, kBlack);
    icon.transparent.assign(kSide * kSide, true);
    auto set = [&icon](int x, int y, uint8_t colour) {
        if (x < 0 || y < 0 || x >= kSide || y >= kSide) return;
        icon.indices[y * kSide + x] = colour;
        icon.transparent[y * kSide + x] = false;
    };
    auto opaque = [&icon](int x, int y) {
        return x >= 0 && y >= 0 && x < kSide && y < kSide && !icon.transparent[y * kSide + x];
    };

    // Front face square-on (pixels fl..fr-1, ft..fb-1); top and right side recede up and right.
    const int fl = 2, fr = 22, ft = 11, fb = 31, depth = 8;
    const Polygon top = {{fl, ft}, {fl + depth, ft - depth}, {fr + depth, ft - depth}, {fr, ft}};
    const Polygon side = {{fr, ft}, {fr + depth, ft - depth}, {fr + depth, fb - depth}, {fr, fb}};
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            if (Covers(top, x, y)) set(x, y, kRed);
            if (Covers(side, x, y)) set(x, y, kMaroon);
            if (x >= fl && x < fr && y >= ft && y < fb) set(x, y, kSilver);
        }
    // Light from the upper left: yellow along the top's near edges, red down the side's near edge.
    for (int x = fl + 1; x < fr; ++x) set(x, ft - 1, kYellow);
    for (int i = 1; i < depth - 1; ++i) set(fl + 1 + i, ft - 1 - i, kYellow);
    for (int y = ft; y < fb - 1; ++y) set(fr, y, kRed);
    // The ridge between top and side catches the light too.
    for (int i = 0; i < depth - 2; ++i) set(fr + i, ft - 2 - i, kYellow);
    // The front's rim: red with a white and yellow glint on the lit top and left, dark red below
    // and right in the shade.
    for (int x = fl + 1; x < fr - 1; ++x)
        set(x, ft + 1, kRed), set(x, fb - 2, kMaroon), set(x, fb - 3, kMaroon);
    for (int y = ft + 1; y < fb - 1; ++y) set(fl + 1, y, kRed), set(fr - 2, y, kMaroon);
    for (int x = fl + 2; x < fr - 2; ++x) set(x, ft + 2, kWhite);
    for (int y = ft + 2; y < fb - 3; ++y) set(fl + 2, y, kYellow);

    // The question mark, red with a dark red shadow, in the middle of the grey panel.
    const TextMask mark = font.Render("?", 18.0f);
    const int panelCentreX = (fl + 3 + fr - 3) / 2, panelCentreY = (ft + 3 + fb - 4) / 2;
    const int left = panelCentreX - (mark.inkLeft + mark.inkRight + 1) / 2;
    const int topRow = panelCentreY - (mark.inkTop + mark.inkBottom + 1) / 2;
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < mark.height; ++y)
            for (int x = 0; x < mark.width; ++x)
                if (mark.At(x, y) >= 0.5f)
                    set(left + x + (pass == 0), topRow + y + (pass == 0),
                        pass == 0 ? kMaroon : kRed);

    // Black edges: round the silhouette and along the front face's border.
    std::vector<bool> inside(kSide * kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) inside[y * kSide + x] = opaque(x, y);
    auto filled = [&inside](int x, int y) {
        return x >= 0 && y >= 0 && x < kSide && y < kSide && inside[y * kSide + x];
    };
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            bool silhouette = filled(x, y) && (!filled(x - 1, y) || !filled(x + 1, y) ||
                                               !filled(x, y - 1) || !filled(x, y + 1));
            bool frontEdge = (x == fl || x == fr - 1) && y >= ft && y < fb
                                 ? true
                                 : (y == ft || y == fb - 1) && x >= fl && x < fr;
            if (silhouette || frontEdge) set(x, y, kBlack);
        }
    return icon;
}
