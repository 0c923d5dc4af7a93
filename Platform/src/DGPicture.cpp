#include <algorithm>

#include "DG/Picture.h"

namespace DG {

Rect Rect::Intersect(const Rect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
}

Picture::Picture(int32_t width, int32_t height, uint32_t fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), fill) {}

void Picture::Set(int32_t x, int32_t y, uint32_t pixel) {
    if (!Bounds().Contains(x, y)) return;
    pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = pixel;
}

void Picture::Fill(const Rect& rect, uint32_t pixel, const Rect& clip) {
    const Rect r = rect.Intersect(clip).Intersect(Bounds());
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x) Set(x, y, pixel);
}

void Picture::Frame(const Rect& rect, uint32_t pixel, const Rect& clip) {
    if (rect.IsEmpty()) return;
    Fill({rect.left, rect.top, rect.right, rect.top + 1}, pixel, clip);
    Fill({rect.left, rect.bottom - 1, rect.right, rect.bottom}, pixel, clip);
    Fill({rect.left, rect.top, rect.left + 1, rect.bottom}, pixel, clip);
    Fill({rect.right - 1, rect.top, rect.right, rect.bottom}, pixel, clip);
}

}  // namespace DG
