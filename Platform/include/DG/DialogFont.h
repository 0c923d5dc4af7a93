#pragma once
// The toolkit's font: anti-aliased glyph pictures of the printable Latin-1 characters at one size,
// built into the library (DGDialogFontData.cpp). Texts are UTF-8.
#include <cstdint>
#include <string>

#include "DG/Picture.h"
#include "EmbeddedGlyph.h"

namespace DG {

class DialogFont {
public:
    using Glyph = EmbeddedGlyph;

    static const Glyph& Find(char32_t code) {
        return FindEmbeddedGlyph(kGlyphs, kGlyphCount, code);
    }
    // Width in whole pixels (advances summed, then rounded).
    static int32_t TextWidth(const std::string& utf8);
    // Draws with the baseline at y, starting at x, blending `pixel` (0xAARRGGBB) by coverage;
    // nothing outside the clip is touched. Returns the x after the text.
    static int32_t Draw(Picture& picture, const std::string& utf8, int32_t x, int32_t y,
                        uint32_t pixel, const Rect& clip);

    static const int kPixelSize;
    static const int kAscent;
    static const int kDescent;
    static constexpr int kLeading = 1;
    static const Glyph kGlyphs[];
    static const int kGlyphCount;
    static const char kCoverage[];
};

}  // namespace DG
