// Canvas, signed-distance shapes, lighting, noise and the seeded generator shared by the artwork.
#include "raster.h"

#include <algorithm>

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Rgb colour, float alpha) {
    if (!Inside(x, y) || alpha <= 0) return;
    Rgb& p = At(x, y);
    p = Mix(p, colour, std::min(alpha, 1.0f));
}

std::vector<uint8_t> Canvas::ToBytes() const {
    std::vector<uint8_t> bytes;
    bytes.reserve(pixels_.size() * 3);
    auto quantise = [](float v) {
        return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
    };
    for (const Rgb& p : pixels_) {
        bytes.push_back(quantise(p.r));
        bytes.push_back(quantise(p.g));
        bytes.push_back(quantise(p.b));
    }
    return bytes;
}

float SdCircle(float x, float y, float cx, float cy, float radius) {
    return std::hypot(x - cx, y - cy) - radius;
}

float SdEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    // First-order correction of the implicit form: exact on the axes, near enough elsewhere to
    // antialias an edge.
    float px = (x - cx) / rx, py = (y - cy) / ry;
    float k0 = std::hypot(px, py);
    float k1 = std::hypot(px / rx, py / ry);
    if (k1 < 1e-6f) return -std::min(rx, ry);
    return k0 * (k0 - 1.0f) / k1;
}

float SdRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - radius;
}

float SdCapsule(float x, float y, float ax, float ay, float bx, float by, float radius) {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - radius;
}

float SdPolygon(float x, float y, const std::vector<std::pair<float, float>>& points) {
    // Distance to the nearest edge, signed by the crossing-number parity.
    float best = 1e30f;
    bool inside = false;
    size_t n = points.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        auto [xi, yi] = points[i];
        auto [xj, yj] = points[j];
        float ex = xj - xi, ey = yj - yi, wx = x - xi, wy = y - yi;
        float len2 = ex * ex + ey * ey;
        float t = len2 > 0 ? Clamp01((wx * ex + wy * ey) / len2) : 0.0f;
        best = std::min(best, std::hypot(wx - ex * t, wy - ey * t));
        if ((yi > y) != (yj > y) && x < xi + (y - yi) * ex / ey) inside = !inside;
    }
    return inside ? -best : best;
}

void FillShape(Canvas& canvas, const Sdf& shape, Rgb colour, float opacity) {
    FillShapeWith(
        canvas, shape, [colour](float, float) { return colour; }, opacity);
}

void FillShapeWith(Canvas& canvas, const Sdf& shape,
                   const std::function<Rgb(float x, float y)>& colour, float opacity) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            float cx = x + 0.5f, cy = y + 0.5f;
            float c = Coverage(shape(cx, cy));
            if (c > 0) canvas.Blend(x, y, colour(cx, cy), c * opacity);
        }
}

void DropShadow(Canvas& canvas, const Sdf& shape, float dx, float dy, float spread, float softness,
                Rgb colour, float opacity) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            float d = shape(x + 0.5f - dx, y + 0.5f - dy) - spread;
            float a = 1.0f - SmoothStep(-softness / 2, softness / 2, d);
            if (a > 0) canvas.Blend(x, y, colour, a * opacity);
        }
}

namespace {

struct Vec3 {
    float x, y, z;
};

Vec3 Normalise(Vec3 v) {
    float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / len, v.y / len, v.z / len};
}

float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Light from the upper left and in front; image y runs downwards.
const Vec3 kLight = Normalise({-0.5f, -0.7f, 0.55f});
const Vec3 kHalf = Normalise({kLight.x, kLight.y, kLight.z + 1.0f});

}  // namespace

void PaintMoulded(Canvas& canvas, const Sdf& shape, const Material& m, float bevel, float opacity) {
    const float h = 0.5f;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            float cx = x + 0.5f, cy = y + 0.5f;
            float d = shape(cx, cy);
            float c = Coverage(d);
            if (c <= 0) continue;
            float gx = (shape(cx + h, cy) - shape(cx - h, cy)) / (2 * h);
            float gy = (shape(cx, cy + h) - shape(cx, cy - h)) / (2 * h);
            float glen = std::hypot(gx, gy);
            if (glen > 1e-6f) gx /= glen, gy /= glen;
            // Rounded edge: steepest at the rim, flat once bevel pixels in.
            float t = Clamp01(-d / bevel);
            float slope = 1.8f * (1.0f - t) * (1.0f - t);
            Vec3 n = Normalise({gx * slope, gy * slope, 1.0f});
            float diffuse = std::max(0.0f, Dot(n, kLight));
            float spec = std::pow(std::max(0.0f, Dot(n, kHalf)), m.shininess);
            // The viewer's ray reflected: its y says if the surface mirrors ceiling or floor.
            float ry = 2 * n.z * n.y;
            Rgb env = Mix(m.envBelow, m.envAbove, SmoothStep(0.05f, 0.7f, -ry));
            Rgb colour =
                m.base * (m.ambient + m.diffuse * diffuse) + Grey(255.0f * m.specular * spec) + env;
            canvas.Blend(x, y, colour, c * opacity);
        }
}

uint64_t Random::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

double Random::Gauss() {
    double u1 = 1.0 - Uniform(), u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

namespace {

float LatticeValue(int32_t ix, int32_t iy, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(ix) * 0x8DA6B343u ^ static_cast<uint32_t>(iy) * 0xD8163841u ^
                 seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

float ValueNoise(float x, float y, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    float tx = Fade(x - fx), ty = Fade(y - fy);
    float a = LatticeValue(ix, iy, seed), b = LatticeValue(ix + 1, iy, seed);
    float c = LatticeValue(ix, iy + 1, seed), d = LatticeValue(ix + 1, iy + 1, seed);
    return Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amplitude = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise(x, y, seed + 101u * i);
        norm += amplitude;
        x = x * 2.03f + 17.1f;
        y = y * 2.03f + 3.7f;
        amplitude *= 0.5f;
    }
    return sum / norm;
}
