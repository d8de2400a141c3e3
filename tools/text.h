// Antialiased text masks rasterised from a TrueType font with FreeType.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "raster.h"

// Coverage of one line of text. Rows and columns are pixels; the baseline is the edge between row
// baseline - 1 and row baseline. The ink box bounds the pixels at least half covered.
struct TextMask {
    int width = 0, height = 0;
    std::vector<float> alpha;
    int baseline = 0;
    int inkLeft = 0, inkRight = 0, inkTop = 0, inkBottom = 0;  // inclusive
    float At(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
};

class TextRenderer {
public:
    // Throws std::runtime_error when the font cannot be opened.
    explicit TextRenderer(const std::string& fontPath);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // utf8: the text; pixelSize: the em size in pixels (fractions allowed).
    TextMask Render(const std::string& utf8, float pixelSize) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Paints colour through the mask with its top-left corner at (left, top).
void DrawMask(Canvas& canvas, const TextMask& mask, int left, int top, Rgb colour,
              float opacity = 1.0f);
