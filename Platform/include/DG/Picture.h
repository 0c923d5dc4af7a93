#pragma once
// A picture the toolkit draws into: 32-bit pixels 0xAARRGGBB, row by row from the top, the same
// layout as the host's pixel maps.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "DG/Geometry.h"

namespace DG {

class Picture {
public:
    Picture() = default;
    Picture(int32_t width, int32_t height, uint32_t fill = 0xFFFFFFFF);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    uint32_t At(int32_t x, int32_t y) const {
        return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) +
                       static_cast<size_t>(x)];
    }
    // Writes one pixel; outside the picture nothing happens.
    void Set(int32_t x, int32_t y, uint32_t pixel);
    // Fills the part of the rectangle that lies in both the picture and the clip.
    void Fill(const Rect& rect, uint32_t pixel, const Rect& clip);
    void Fill(const Rect& rect, uint32_t pixel) { Fill(rect, pixel, Bounds()); }
    // A one-pixel frame just inside the rectangle.
    void Frame(const Rect& rect, uint32_t pixel, const Rect& clip);
    Rect Bounds() const { return {0, 0, width_, height_}; }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }

private:
    int32_t width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace DG
