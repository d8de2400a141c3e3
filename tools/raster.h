// Canvas, signed-distance shapes, lighting, noise and the seeded generator shared by the artwork.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

// Channels run 0..255 as floats, so blends and gradients keep their precision to the end.
struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
inline Rgb Grey(float v) { return {v, v, v}; }

inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
inline float SmoothStep(float e0, float e1, float v) {
    float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

class Canvas {
public:
    Canvas(int width, int height, Rgb fill = {});
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgb& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgb& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void Blend(int x, int y, Rgb colour, float alpha);
    // Top-down rows of r, g, b bytes, rounded and clamped.
    std::vector<uint8_t> ToBytes() const;

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

// A shape as a signed distance in pixels, negative inside. Callers pass pixel centres:
// (x + 0.5, y + 0.5).
using Sdf = std::function<float(float x, float y)>;

float SdCircle(float x, float y, float cx, float cy, float radius);
float SdEllipse(float x, float y, float cx, float cy, float rx, float ry);
// Axis-aligned rectangle from (x0, y0) to (x1, y1) in edge coordinates, corners rounded by radius.
float SdRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius);
float SdCapsule(float x, float y, float ax, float ay, float bx, float by, float radius);
// Simple polygon, any winding.
float SdPolygon(float x, float y, const std::vector<std::pair<float, float>>& points);

// Share of the pixel whose centre lies at signed distance d that the shape covers.
inline float Coverage(float d) { return Clamp01(0.5f - d); }

void FillShape(Canvas& canvas, const Sdf& shape, Rgb colour, float opacity = 1.0f);
// Paints the shape with a colour chosen per pixel.
void FillShapeWith(Canvas& canvas, const Sdf& shape,
                   const std::function<Rgb(float x, float y)>& colour, float opacity = 1.0f);
// A soft shadow: the shape grown by spread pixels and blurred over softness pixels.
void DropShadow(Canvas& canvas, const Sdf& shape, float dx, float dy, float spread, float softness,
                Rgb colour, float opacity);

// A moulded surface: the shape rises over bevel pixels from its edge, lit from the upper left.
struct Material {
    Rgb base;
    float ambient = 0.35f;
    float diffuse = 0.75f;
    float specular = 0.4f;
    float shininess = 24.0f;
    // Reflected surroundings: dim below the horizon, bright above it, for glossy surfaces.
    Rgb envBelow{0, 0, 0};
    Rgb envAbove{0, 0, 0};
};
void PaintMoulded(Canvas& canvas, const Sdf& shape, const Material& material, float bevel,
                  float opacity = 1.0f);

// A seeded generator (splitmix64), so that every run writes the same bytes.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Uniform();  // [0, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    double Gauss();  // mean 0, deviation 1

private:
    uint64_t state_;
};

// Smooth lattice noise in [0, 1], and a sum of its octaves.
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);
