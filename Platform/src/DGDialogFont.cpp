#include <algorithm>
#include <cmath>

#include "API/Pictures.h"
#include "DG/DialogFont.h"
#include "UnicodeText.h"

namespace DG {
namespace {

uint8_t Mix(uint8_t under, uint8_t over, int coverage /*0..15*/) {
    return static_cast<uint8_t>((under * (15 - coverage) + over * coverage + 7) / 15);
}

}  // namespace

int32_t DialogFont::TextWidth(const std::string& utf8) {
    int64_t advance = 0;
    for (char32_t c : UnicodeText::Utf8ToCodePoints(utf8)) advance += Find(c).advance;
    return static_cast<int32_t>((advance + 32) / 64);
}

int32_t DialogFont::Draw(Picture& picture, const std::string& utf8, int32_t x, int32_t y,
                         uint32_t pixel, const Rect& clipIn) {
    const Rect clip = clipIn.Intersect(picture.Bounds());
    int64_t pen = static_cast<int64_t>(x) * 64;
    for (char32_t c : UnicodeText::Utf8ToCodePoints(utf8)) {
        const Glyph& g = Find(c);
        const int32_t gx = static_cast<int32_t>((pen + 32) / 64) + g.left;
        const int32_t gy = y - g.top;
        for (uint32_t row = 0; row < g.height; ++row) {
            for (uint32_t col = 0; col < g.width; ++col) {
                const int32_t px = gx + static_cast<int32_t>(col),
                              py = gy + static_cast<int32_t>(row);
                if (!clip.Contains(px, py)) continue;
                const int coverage = kCoverage[g.offset + row * g.width + col] - 'a';
                if (coverage == 0) continue;
                const uint32_t under = picture.At(px, py);
                picture.Set(px, py,
                            KXPixel(Mix(KXPixelRed(under), KXPixelRed(pixel), coverage),
                                    Mix(KXPixelGreen(under), KXPixelGreen(pixel), coverage),
                                    Mix(KXPixelBlue(under), KXPixelBlue(pixel), coverage),
                                    static_cast<uint8_t>(under >> 24)));
            }
        }
        pen += g.advance;
    }
    return static_cast<int32_t>((pen + 32) / 64);
}

}  // namespace DG
