// The banker's telephone: a black rotary-dial desk set, handset on the cradle, coiled cord.
#include <algorithm>
#include <array>

#include "artwork.h"

namespace {

const Rgb kTan{188, 138, 108};

// Union of two shapes with a fillet of radius k where they meet.
float SmoothUnion(float a, float b, float k) {
    float h = Clamp01(0.5f + 0.5f * (b - a) / k);
    return Lerp(b, a, h) - k * h * (1.0f - h);
}

Material BlackPlastic() {
    Material m;
    m.base = {20, 20, 23};
    m.ambient = 0.7f;
    m.diffuse = 0.8f;
    m.specular = 0.6f;
    m.shininess = 30.0f;
    m.envBelow = {0, 0, 0};
    m.envAbove = {70, 68, 72};
    return m;
}

Material Chrome() {
    Material m;
    m.base = {150, 152, 160};
    m.ambient = 0.5f;
    m.diffuse = 0.6f;
    m.specular = 0.8f;
    m.shininess = 20.0f;
    m.envBelow = {0, 0, 0};
    m.envAbove = {60, 60, 64};
    return m;
}

struct Point {
    float x, y;
};

Point Bezier(const std::array<Point, 4>& p, float t) {
    float u = 1 - t;
    float a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x,
            a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y};
}

// The coiled cord as a helix seen side-on: loops drawn back half first, so the front half of each
// turn passes over the back half of its neighbours.
void DrawCoiledCord(Canvas& canvas, const std::array<Point, 4>& path, int turns, float loopRadius) {
    struct Stamp {
        float x, y, depth;
    };
    std::vector<Stamp> stamps;
    const int steps = turns * 48;
    for (int i = 0; i <= steps; ++i) {
        float t = static_cast<float>(i) / steps;
        Point p = Bezier(path, t);
        Point q = Bezier(path, std::min(1.0f, t + 0.001f));
        Point r = Bezier(path, std::max(0.0f, t - 0.001f));
        float tx = q.x - r.x, ty = q.y - r.y, len = std::hypot(tx, ty);
        tx /= len, ty /= len;
        float angle = 6.2831853f * turns * t;
        // Loops lean along the cord, as a stretched spring's do.
        float side = std::sin(angle) * loopRadius, ahead = std::cos(angle) * loopRadius * 0.35f;
        stamps.push_back(
            {p.x - ty * side + tx * ahead, p.y + tx * side + ty * ahead, std::cos(angle)});
    }
    const Material plastic = BlackPlastic();
    for (int pass = 0; pass < 2; ++pass)
        for (const Stamp& s : stamps) {
            if ((pass == 0) != (s.depth < 0)) continue;
            auto blob = [s](float x, float y) { return SdCircle(x, y, s.x, s.y, 1.4f); };
            Material m = plastic;
            // The back half lies in the shade of the front half.
            if (s.depth < 0) m.specular = 0.15f, m.envAbove = {10, 10, 12};
            PaintMoulded(canvas, blob, m, 1.4f);
        }
}

void DrawDial(Canvas& canvas, float cx, float cy) {
    auto well = [=](float x, float y) { return SdCircle(x, y, cx, cy, 21.2f); };
    DropShadow(canvas, well, -0.5f, -0.8f, 0.0f, 2.0f, Rgb{0, 0, 0}, 0.9f);
    auto rim = [=](float x, float y) { return SdCircle(x, y, cx, cy, 20.5f); };
    PaintMoulded(canvas, rim, Chrome(), 2.5f);

    // The number plate shows through the finger holes.
    auto plate = [=](float x, float y) { return SdCircle(x, y, cx, cy, 18.8f); };
    FillShape(canvas, plate, Rgb{236, 230, 212});

    const float holeRing = 13.6f, holeRadius = 3.3f;
    std::array<Point, 10> holes;
    for (int i = 0; i < 10; ++i) {
        // From 1 at two o'clock anticlockwise round to 0, leaving the gap by the finger stop.
        float angle = (60.0f - 30.0f * i) * 3.14159265f / 180.0f;
        holes[i] = {cx + holeRing * std::sin(angle), cy - holeRing * std::cos(angle)};
    }
    for (const Point& h : holes) {
        auto mark = [h, cx, cy](float x, float y) {
            // Each digit sits on the plate just outside the middle of its hole.
            float dx = h.x - cx, dy = h.y - cy, len = std::hypot(dx, dy);
            return SdCircle(x, y, h.x + dx / len * 0.6f, h.y + dy / len * 0.6f, 1.0f);
        };
        FillShape(canvas, mark, Rgb{60, 50, 50});
    }
    auto wheel = [=](float x, float y) {
        float d = SdCircle(x, y, cx, cy, 18.4f);
        for (const Point& h : holes) d = std::max(d, -SdCircle(x, y, h.x, h.y, holeRadius));
        return std::max(d, -SdCircle(x, y, cx, cy, 7.6f));
    };
    PaintMoulded(canvas, wheel, BlackPlastic(), 2.2f);

    // The centre card: cream, ringed, with two lines of the number written on it.
    auto card = [=](float x, float y) { return SdCircle(x, y, cx, cy, 6.9f); };
    FillShapeWith(canvas, card, [=](float, float y) {
        float t = Clamp01((y - cy + 7) / 14);
        return Mix(Rgb{248, 244, 230}, Rgb{214, 206, 186}, t);
    });
    auto cardRing = [=](float x, float y) {
        return std::fabs(SdCircle(x, y, cx, cy, 5.6f)) - 0.35f;
    };
    FillShape(canvas, cardRing, Rgb{170, 40, 40}, 0.8f);
    for (float line : {-1.5f, 1.5f}) {
        float half = line < 0 ? 3.0f : 2.2f;
        auto writing = [=](float x, float y) {
            return SdCapsule(x, y, cx - half, cy + line, cx + half, cy + line, 0.45f);
        };
        FillShape(canvas, writing, Rgb{70, 60, 60}, 0.75f);
    }

    // The finger stop: a chrome hook at about four o'clock, reaching over the rim.
    float stop = 128.0f * 3.14159265f / 180.0f;
    float sx = std::sin(stop), sy = -std::cos(stop);
    auto hook = [=](float x, float y) {
        return SdCapsule(x, y, cx + sx * 15.5f, cy + sy * 15.5f, cx + sx * 21.5f, cy + sy * 21.5f,
                         1.3f);
    };
    PaintMoulded(canvas, hook, Chrome(), 1.3f);
}

}  // namespace

Canvas MakeBankerPhone() {
    Canvas phone(kPhoneWidth, kPhoneHeight, kTan);
    const Material plastic = BlackPlastic();
    const float mid = 78.0f;  // the set's centre line

    auto footprint = [=](float x, float y) { return SdEllipse(x, y, mid, 88.5f, 62, 4.5f); };
    DropShadow(phone, footprint, 0, 0, 0, 6.0f, Rgb{96, 62, 44}, 0.7f);

    DrawCoiledCord(phone, {{{16, 33}, {1, 50}, {2, 80}, {30, 85}}}, 12, 3.8f);

    // The body: a trapezoid tapering up to the cradle, its corners well rounded.
    const std::vector<std::pair<float, float>> bodyCore = {
        {mid - 45, 80}, {mid + 45, 80}, {mid + 28, 46}, {mid - 28, 46}};
    auto body = [&bodyCore](float x, float y) { return SdPolygon(x, y, bodyCore) - 7.0f; };
    PaintMoulded(phone, body, plastic, 9.0f);
    auto foot = [=](float x, float y) {
        return SdRoundRect(x, y, mid - 59, 81, mid + 59, 91, 3.5f);
    };
    PaintMoulded(phone, foot, plastic, 3.0f);

    // Cradle horns rising from the body's shoulders.
    for (float x0 : {mid - 38, mid + 24}) {
        auto horn = [x0](float x, float y) { return SdRoundRect(x, y, x0, 28, x0 + 14, 48, 4.0f); };
        PaintMoulded(phone, horn, plastic, 4.0f);
    }

    DrawDial(phone, mid, 62.0f);

    // The handset, lying across the horns: a handle between two cups flaring to their open ends.
    auto cup = [](float x, float y, float centre) {
        const std::vector<std::pair<float, float>> core = {
            {centre - 9, 14}, {centre + 9, 14}, {centre + 13, 30}, {centre - 13, 30}};
        return SdPolygon(x, y, core) - 4.5f;
    };
    auto handset = [=](float x, float y) {
        float handle = SdCapsule(x, y, mid - 48, 17.5f, mid + 48, 17.5f, 5.2f);
        float ear = cup(x, y, mid - 52), mouth = cup(x, y, mid + 52);
        return SmoothUnion(SmoothUnion(handle, ear, 6.0f), mouth, 6.0f);
    };
    DropShadow(phone, handset, 1.0f, 2.0f, 0.0f, 3.0f, Rgb{0, 0, 0}, 0.5f);
    // A bevel no deeper than the handle's radius leaves no crease along its middle.
    PaintMoulded(phone, handset, plastic, 5.2f);
    return phone;
}
