#include "Render/Legend.h"

#include <algorithm>
#include <cmath>

#include "Library/CaptionFont.h"
#include "UnicodeText.h"

namespace CadHost::Render {
namespace {

constexpr uint32_t kBoxColour = 0xFFFFFFFF;
constexpr float kBoxOpacity = 0.82f;
constexpr uint32_t kInkColour = 0xFF26262A;

// Text size, swatch size and margins follow the picture's height.
struct Metrics {
    int text, margin, gap, swatch, rowHeight;
    explicit Metrics(int height)
        : text(std::max(10, height / 45)),
          margin(std::max(4, height / 90)),
          gap(std::max(3, height / 180)),
          swatch(text),
          rowHeight(text + 2 * gap) {}
};

uint32_t Over(uint32_t under, uint32_t top, float share) {
    auto ch = [&](int shift) {
        const float a = static_cast<float>((under >> shift) & 0xFF);
        const float b = static_cast<float>((top >> shift) & 0xFF);
        return static_cast<uint32_t>(a + (b - a) * share + 0.5f) << shift;
    };
    return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

void Fill(Image& image, int left, int top, int right, int bottom, uint32_t colour, float share) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image.Width());
    bottom = std::min(bottom, image.Height());
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            image.At(x, y) = share >= 1 ? (colour | 0xFF000000u) : Over(image.At(x, y), colour, share);
}

void Frame(Image& image, int left, int top, int right, int bottom) {
    Fill(image, left, top, right, top + 1, kInkColour, 1);
    Fill(image, left, bottom - 1, right, bottom, kInkColour, 1);
    Fill(image, left, top, left + 1, bottom, kInkColour, 1);
    Fill(image, right - 1, top, right, bottom, kInkColour, 1);
}

}  // namespace

void Legend::SwatchPlace(int pictureHeight, size_t row, bool done, int& left, int& top,
                         int& size) {
    const Metrics m(pictureHeight);
    size = m.swatch;
    left = 2 * m.margin + (done ? m.swatch + m.gap : 0);
    top = 2 * m.margin + static_cast<int>(row) * m.rowHeight + m.gap;
}

void Legend::Draw(Image& image, const std::vector<Row>& rows) {
    if (rows.empty() || image.IsEmpty()) return;
    const Metrics m(image.Height());
    std::vector<std::u32string> names;
    double widest = 0;
    for (const Row& row : rows) {
        names.push_back(UnicodeText::Utf8ToCodePoints(row.name));
        widest = std::max(widest, Library::CaptionFont::TextWidth(names.back(), m.text));
    }
    const int textLeft = 2 * m.margin + 2 * (m.swatch + m.gap) + m.gap;
    const int right = std::min(image.Width(), textLeft + static_cast<int>(std::ceil(widest)) + m.margin);
    const int bottom = std::min(image.Height(), 3 * m.margin + static_cast<int>(rows.size()) * m.rowHeight);
    Fill(image, m.margin, m.margin, right, bottom, kBoxColour, kBoxOpacity);
    Frame(image, m.margin, m.margin, right, bottom);
    const Library::PixelRect clip{m.margin, m.margin, right, bottom};
    for (size_t k = 0; k < rows.size(); ++k) {
        int left = 0, top = 0, size = 0;
        SwatchPlace(image.Height(), k, false, left, top, size);
        Fill(image, left, top, left + size, top + size, rows[k].underWay, 1);
        Frame(image, left - 1, top - 1, left + size + 1, top + size + 1);
        SwatchPlace(image.Height(), k, true, left, top, size);
        if (rows[k].done) {
            Fill(image, left, top, left + size, top + size, *rows[k].done, 1);
            Frame(image, left - 1, top - 1, left + size + 1, top + size + 1);
        }
        const double baseline = top + size - Library::CaptionFont::Descent(m.text) * 0.5;
        Library::CaptionFont::Draw(image, names[k], textLeft, baseline, m.text, kInkColour, clip);
    }
}

}  // namespace CadHost::Render
