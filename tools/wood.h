// Pine, frame wood and screw heads, shared by the background and the closed box.
#pragma once

#include "raster.h"

// Light pine with orange grain running across; (x, y) in board pixels.
Rgb PineAt(float x, float y);
// Darker reddish-brown wood of the outer frame; grain runs along u, across v.
Rgb FrameWoodAt(float u, float v);
// A silver slotted screw head centred at (cx, cy); slotAngle in radians.
void DrawScrew(Canvas& canvas, float cx, float cy, float radius, float slotAngle);

// The board place whose grain the closed-box picture carries: that of box 1, bottom left.
struct BoardPoint {
    int x, y;
};
constexpr BoardPoint kClosedBoxWoodOrigin{14, 489};
