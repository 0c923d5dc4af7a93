#include "Library/CaptionObject.h"

#include <algorithm>
#include <cmath>

#include "Library/Library.h"
#include "Library/ParamRecord.h"
#include "UnicodeText.h"

namespace CadHost::Library {
namespace {

constexpr double kDefaultWidthShare = 0.34;
constexpr double kLineHeightShare = 0.1;  // of the picture's height, per line
constexpr double kMarginShare = 0.02;     // of the picture's width, from its edges
constexpr uint32_t kBoxColour = 0xFF1E2630;
constexpr double kBoxOpacity = 0.7;
constexpr uint32_t kTextColour = 0xFFFFFFFF;

double RealParam(const std::vector<API_AddParType>& params, const char* name, double fallback) {
    const API_AddParType* p = ParamRecord::Find(params, name);
    if (p == nullptr || p->typeID == APIParT::CString || !std::isfinite(p->value.real))
        return fallback;
    return p->value.real;
}

std::vector<std::u32string> Lines(const std::vector<API_AddParType>& params) {
    const API_AddParType* p = ParamRecord::Find(params, Library::kCaptionTextParam);
    std::u32string text;
    if (p != nullptr) text = UnicodeText::Utf16ToCodePoints(p->value.uStr, kParamStringLength);
    std::vector<std::u32string> lines(1);
    for (char32_t c : text) {
        if (c == U'\n') {
            lines.emplace_back();
        } else if (c != U'\r') {
            lines.back() += c;
        }
    }
    return lines;
}

}  // namespace

PixelRect CaptionObject::BoxFor(int width, int height, const std::vector<API_AddParType>& params) {
    PixelRect box;
    if (width < 8 || height < 8) return box;
    double proportion = RealParam(params, Library::kCaptionProportionParam, 0);
    if (!(proportion > 0.05 && proportion < 20)) proportion = static_cast<double>(height) / width;
    double share = RealParam(params, Library::kCaptionWidthParam, kDefaultWidthShare);
    if (!(share > 0.02 && share <= 1)) share = kDefaultWidthShare;
    int corner = static_cast<int>(RealParam(params, Library::kCaptionCornerParam, 4));
    if (corner < 1 || corner > 4) corner = 4;

    const double lines = static_cast<double>(Lines(params).size());
    const int margin = static_cast<int>(std::lround(width * kMarginShare));
    const int w = std::clamp(static_cast<int>(std::lround(width * share)), 1, width - 2 * margin);
    const int h =
        std::clamp(static_cast<int>(std::lround(width * proportion * kLineHeightShare * lines)), 1,
                   height - 2 * margin);
    if (w <= 0 || h <= 0) return box;
    box.left = corner == 1 || corner == 3 ? margin : width - margin - w;
    box.top = corner == 1 || corner == 2 ? margin : height - margin - h;
    box.right = box.left + w;
    box.bottom = box.top + h;
    return box;
}

void CaptionObject::Draw(Render::Image& image, const std::vector<API_AddParType>& params) {
    const PixelRect box = BoxFor(image.Width(), image.Height(), params);
    if (box.Width() <= 0 || box.Height() <= 0) return;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const uint32_t p = image.At(x, y);
            auto mix = [](uint8_t a, uint8_t b) {
                return static_cast<uint8_t>(std::lround(a + (b - a) * kBoxOpacity));
            };
            image.At(x, y) = KXPixel(mix(KXPixelRed(p), KXPixelRed(kBoxColour)),
                                     mix(KXPixelGreen(p), KXPixelGreen(kBoxColour)),
                                     mix(KXPixelBlue(p), KXPixelBlue(kBoxColour)));
        }

    const std::vector<std::u32string> lines = Lines(params);
    const double lineHeight = static_cast<double>(box.Height()) / lines.size();
    const double pad = lineHeight * 0.25;
    // The largest size at which every line fits the box, at most 60 % of a line's height.
    double size = lineHeight * 0.6;
    for (const std::u32string& line : lines) {
        const double unit = CaptionFont::TextWidth(line, 1);
        if (unit > 0) size = std::min(size, (box.Width() - 2 * pad) / unit);
    }
    if (!(size > 1)) return;
    const double textHeight = CaptionFont::Ascent(size) + CaptionFont::Descent(size);
    for (size_t i = 0; i < lines.size(); ++i) {
        const double top = box.top + lineHeight * i + (lineHeight - textHeight) / 2;
        const double x = box.left + (box.Width() - CaptionFont::TextWidth(lines[i], size)) / 2;
        CaptionFont::Draw(image, lines[i], x, top + CaptionFont::Ascent(size), size, kTextColour,
                          box);
    }
}

}  // namespace CadHost::Library
