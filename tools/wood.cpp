// Pine, frame wood and screw heads, shared by the background and the closed box.
#include "wood.h"

#include <algorithm>

namespace {

// Fractional part, for ring positions.
float Fract(float v) { return v - std::floor(v); }

// Growth-ring density: rises slowly through the earlywood, drops sharply at the ring's edge.
float RingShade(float position) {
    float f = Fract(position);
    return SmoothStep(0.45f, 0.93f, f) * (1.0f - SmoothStep(0.93f, 1.0f, f));
}

}  // namespace

Rgb PineAt(float x, float y) {
    const Rgb paleA{216, 201, 143}, paleB{226, 204, 141};
    const Rgb grain{208, 138, 66};
    // Rings run across the board and wander only slowly along it, so two places of the same height
    // show nearly the same rings: that keeps the joins round the box pictures quiet.
    float warp = 7.0f * Fbm(x / 420.0f, y / 150.0f, 11, 3) +
                 1.6f * std::sin(x / 97.0f + 2.0f * Fbm(x / 600.0f, y / 240.0f, 12, 2));
    float position = (y + warp) / 10.0f + 1.3f * Fbm(x / 900.0f, y / 55.0f, 13, 3);
    float ringIndex = std::floor(position);
    // Each ring has its own darkness, varying gently along it.
    float strength = 0.12f + 0.55f * ValueNoise(ringIndex * 0.73f, x / 380.0f, 14);
    float ring = RingShade(position) * strength;
    // A softer blush of the grain colour between rings, and fine fibres, long along the grain.
    float blush = 0.12f * Fbm(x / 300.0f, (y + warp) / 6.0f, 17, 2);
    float fibre = Fbm(x / 70.0f, (y + warp) / 1.4f, 15, 2) - 0.5f;
    Rgb base = Mix(paleA, paleB, Fbm(x / 260.0f, y / 160.0f, 16, 3));
    Rgb c = Mix(base, grain, ring + blush);
    return c + Grey(fibre * 8.0f);
}

Rgb FrameWoodAt(float u, float v) {
    const Rgb light{159, 92, 44}, dark{103, 51, 45};
    float warp = 3.0f * Fbm(u / 60.0f, v / 20.0f, 21, 3);
    float position = (v + warp) / 4.5f + 0.8f * Fbm(u / 140.0f, v / 10.0f, 22, 2);
    float ring = RingShade(position) * (0.35f + 0.45f * Fbm(u / 70.0f, position, 23, 2));
    float fibre = Fbm(u / 30.0f, (v + warp) / 1.2f, 24, 2) - 0.5f;
    Rgb base = Mix(light, Mix(light, dark, 0.35f), Fbm(u / 90.0f, v / 30.0f, 25, 2));
    return Mix(base, dark, ring) + Grey(fibre * 10.0f);
}

void DrawScrew(Canvas& canvas, float cx, float cy, float radius, float slotAngle) {
    auto head = [=](float x, float y) { return SdCircle(x, y, cx, cy, radius); };
    DropShadow(canvas, head, 0.7f, 0.9f, 0.0f, 1.6f, Rgb{40, 25, 15}, 0.55f);
    Material steel{{170, 172, 178}, 0.45f, 0.7f, 0.7f, 18.0f, {0, 0, 0}, {30, 30, 34}};
    PaintMoulded(canvas, head, steel, radius * 0.9f);
    // A thin dark rim keeps the head apart from light wood.
    auto rim = [=](float x, float y) {
        return std::fabs(SdCircle(x, y, cx, cy, radius - 0.35f)) - 0.35f;
    };
    FillShape(canvas, rim, Rgb{70, 70, 76}, 0.6f);
    float dx = std::cos(slotAngle) * (radius - 0.9f), dy = std::sin(slotAngle) * (radius - 0.9f);
    auto slot = [=](float x, float y) {
        return SdCapsule(x, y, cx - dx, cy - dy, cx + dx, cy + dy, 0.55f);
    };
    // The slot's far wall catches the light just below it.
    auto lip = [=](float x, float y) { return slot(x - 0.5f, y - 0.7f); };
    FillShape(canvas, lip, Rgb{235, 235, 240}, 0.6f);
    FillShape(canvas, slot, Rgb{38, 38, 44});
}
