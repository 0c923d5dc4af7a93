#include "Library/CaptionFont.h"

#include <algorithm>
#include <cmath>

namespace CadHost::Library {
namespace {

// Coverage 0..1 of a glyph's own pixel; 0 outside the glyph.
double CoverageAt(const CaptionFont::Glyph& g, int gx, int gy) {
    if (gx < 0 || gy < 0 || gx >= static_cast<int>(g.width) || gy >= static_cast<int>(g.height))
        return 0;
    const char v = CaptionFont::kCoverage[g.offset + static_cast<uint32_t>(gy) * g.width +
                                          static_cast<uint32_t>(gx)];
    return (v - 'a') / 15.0;
}

// Bilinear coverage at a point in glyph pixel coordinates (pixel centres at +0.5).
double Sample(const CaptionFont::Glyph& g, double u, double v) {
    const double fu = u - 0.5, fv = v - 0.5;
    const int x0 = static_cast<int>(std::floor(fu)), y0 = static_cast<int>(std::floor(fv));
    const double tx = fu - x0, ty = fv - y0;
    return (CoverageAt(g, x0, y0) * (1 - tx) + CoverageAt(g, x0 + 1, y0) * tx) * (1 - ty) +
           (CoverageAt(g, x0, y0 + 1) * (1 - tx) + CoverageAt(g, x0 + 1, y0 + 1) * tx) * ty;
}

uint32_t Blend(uint32_t under, uint32_t over, double alpha) {
    auto ch = [alpha](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(std::lround(a + (b - a) * alpha));
    };
    return KXPixel(ch(KXPixelRed(under), KXPixelRed(over)),
                   ch(KXPixelGreen(under), KXPixelGreen(over)),
                   ch(KXPixelBlue(under), KXPixelBlue(over)), static_cast<uint8_t>(under >> 24));
}

}  // namespace

double CaptionFont::TextWidth(const std::u32string& text, double pixelSize) {
    double advance = 0;
    for (char32_t c : text) advance += Find(c).advance;
    return advance / 64.0 * pixelSize / kPixelSize;
}

void CaptionFont::Draw(Render::Image& image, const std::u32string& text, double x, double baseline,
                       double pixelSize, uint32_t colour, const PixelRect& clipIn) {
    if (!(pixelSize > 0)) return;
    PixelRect clip = clipIn;
    clip.left = std::max(clip.left, 0);
    clip.top = std::max(clip.top, 0);
    clip.right = std::min(clip.right, image.Width());
    clip.bottom = std::min(clip.bottom, image.Height());
    const double scale = pixelSize / kPixelSize;  // picture pixels per glyph pixel
    // Shrunk glyphs are averaged over several taps per picture pixel so thin strokes survive.
    const int taps = std::clamp(static_cast<int>(std::ceil(1 / scale)), 1, 6);
    double pen = x;
    for (char32_t c : text) {
        const Glyph& g = Find(c);
        const double gx0 = pen + g.left * scale, gy0 = baseline - g.top * scale;
        const int left = std::max(clip.left, static_cast<int>(std::floor(gx0)));
        const int top = std::max(clip.top, static_cast<int>(std::floor(gy0)));
        const int right = std::min(clip.right, static_cast<int>(std::ceil(gx0 + g.width * scale)));
        const int bottom =
            std::min(clip.bottom, static_cast<int>(std::ceil(gy0 + g.height * scale)));
        for (int py = top; py < bottom; ++py) {
            for (int px = left; px < right; ++px) {
                double sum = 0;
                for (int ty = 0; ty < taps; ++ty)
                    for (int tx = 0; tx < taps; ++tx) {
                        const double sx = px + (tx + 0.5) / taps, sy = py + (ty + 0.5) / taps;
                        sum += Sample(g, (sx - gx0) / scale, (sy - gy0) / scale);
                    }
                const double alpha = std::clamp(sum / (taps * taps), 0.0, 1.0);
                if (alpha > 0) image.At(px, py) = Blend(image.At(px, py), colour, alpha);
            }
        }
        pen += g.advance / 64.0 * scale;
    }
}

}  // namespace CadHost::Library
