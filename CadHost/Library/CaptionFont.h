#pragma once
// The caption object's font: anti-aliased glyph pictures of the printable Latin-1 characters,
// built into the host (CaptionFontData.cpp), drawn at any size.
#include <cstdint>
#include <string>

#include "EmbeddedGlyph.h"
#include "Render/Image.h"

namespace CadHost::Library {

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class CaptionFont {
public:
    using Glyph = EmbeddedGlyph;  // advance in 1/64 pixel at kPixelSize

    // The glyph of a character; characters the font lacks get the replacement glyph.
    static const Glyph& Find(char32_t code) {
        return FindEmbeddedGlyph(kGlyphs, kGlyphCount, code);
    }
    // Width in pixels of the text drawn with an em of `pixelSize` pixels.
    static double TextWidth(const std::u32string& text, double pixelSize);
    // Ascent and descent in pixels for that size.
    static double Ascent(double pixelSize) { return kAscent * pixelSize / kPixelSize; }
    static double Descent(double pixelSize) { return kDescent * pixelSize / kPixelSize; }
    // Draws the text with its baseline at `baseline`, starting at `x`, blending `colour` by each
    // pixel's coverage; nothing outside `clip` (nor outside the image) is touched.
    static void Draw(Render::Image& image, const std::u32string& text, double x, double baseline,
                     double pixelSize, uint32_t colour, const PixelRect& clip);

    static const int kPixelSize;
    static const int kAscent;
    static const int kDescent;
    static const Glyph kGlyphs[];
    static const int kGlyphCount;
    static const char kCoverage[];
};

}  // namespace CadHost::Library
