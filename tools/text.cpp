// Antialiased text masks rasterised from a TrueType font with FreeType.
#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

struct TextRenderer::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

namespace {

std::u32string DecodeUtf8(const std::string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : 3;
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += 1 + extra;
    }
    return out;
}

}  // namespace

TextRenderer::TextRenderer(const std::string& fontPath) : impl_(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&impl_->library)) throw std::runtime_error("FreeType would not start");
    if (FT_New_Face(impl_->library, fontPath.c_str(), 0, &impl_->face))
        throw std::runtime_error("cannot open font " + fontPath);
}

TextRenderer::~TextRenderer() {
    if (impl_->face) FT_Done_Face(impl_->face);
    if (impl_->library) FT_Done_FreeType(impl_->library);
}

TextMask TextRenderer::Render(const std::string& utf8, float pixelSize) const {
    FT_Face face = impl_->face;
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64)), 72, 72);
    const std::u32string text = DecodeUtf8(utf8);
    const int ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
    const int descent = static_cast<int>(std::ceil(-face->size->metrics.descender / 64.0));
    const int margin = 2;

    struct Placed {
        std::vector<unsigned char> pixels;
        int left, top, width, rows, pitch;
    };
    std::vector<Placed> glyphs;
    double pen = margin;
    FT_UInt previous = 0;
    for (char32_t cp : text) {
        FT_UInt index = FT_Get_Char_Index(face, cp);
        if (previous && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern);
            pen += kern.x / 64.0;
        }
        // Whole pixels place the bitmap, the fraction shifts the outline: spacing stays the font's.
        double whole = std::floor(pen);
        FT_Vector delta{static_cast<FT_Pos>(std::lround((pen - whole) * 64)), 0};
        FT_Set_Transform(face, nullptr, &delta);
        // Light hinting snaps heights to the pixel grid and leaves widths alone.
        FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT);
        const FT_Bitmap& bm = face->glyph->bitmap;
        Placed g{{},
                 static_cast<int>(whole) + face->glyph->bitmap_left,
                 ascent + margin - face->glyph->bitmap_top,
                 static_cast<int>(bm.width),
                 static_cast<int>(bm.rows),
                 bm.pitch};
        g.pixels.assign(bm.buffer, bm.buffer + static_cast<size_t>(std::abs(bm.pitch)) * bm.rows);
        glyphs.push_back(std::move(g));
        pen += face->glyph->linearHoriAdvance / 65536.0;
        previous = index;
    }
    FT_Set_Transform(face, nullptr, nullptr);

    TextMask mask;
    mask.width = static_cast<int>(std::ceil(pen)) + 2 * margin;
    mask.height = ascent + descent + 2 * margin;
    mask.baseline = ascent + margin;
    mask.alpha.assign(static_cast<size_t>(mask.width) * mask.height, 0.0f);
    for (const Placed& g : glyphs)
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.width; ++c) {
                int x = g.left + c, y = g.top + r;
                if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
                float& a = mask.alpha[static_cast<size_t>(y) * mask.width + x];
                // Neighbouring glyphs may touch: add coverage, never beyond full.
                a = std::min(1.0f, a + g.pixels[static_cast<size_t>(r) * g.pitch + c] / 255.0f);
            }

    mask.inkLeft = mask.width, mask.inkTop = mask.height, mask.inkRight = -1, mask.inkBottom = -1;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask.At(x, y) >= 0.5f) {
                mask.inkLeft = std::min(mask.inkLeft, x),
                mask.inkRight = std::max(mask.inkRight, x);
                mask.inkTop = std::min(mask.inkTop, y),
                mask.inkBottom = std::max(mask.inkBottom, y);
            }
    return mask;
}

void DrawMask(Canvas& canvas, const TextMask& mask, int left, int top, Rgb colour, float opacity) {
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            canvas.Blend(left + x, top + y, colour, mask.At(x, y) * opacity);
}
