#pragma once
// A picture in memory: 32-bit pixels 0xAARRGGBB, row by row from the top. Converts to and from
// the host's picture handles.
#include <cstdint>
#include <vector>

#include "API/Pictures.h"

namespace CadHost::Render {

class Image {
public:
    Image() = default;
    Image(int width, int height, uint32_t fill = 0);

    void Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsEmpty() const { return width_ == 0 || height_ == 0; }

    uint32_t& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    std::vector<uint32_t>& Pixels() { return pixels_; }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }

    // Each block of factor x factor pixels averaged into one; the size must divide evenly.
    Image Downsampled(int factor) const;
    // The same into `out`, whose buffer is reused.
    void DownsampleInto(int factor, Image& out) const;

    // Puts the picture into a host handle: an empty handle gets a new one, a full one is resized.
    // False when memory is short or the image is empty.
    bool ToPixMap(KXPixMapHandle* handle) const;
    // Reads a host picture; false when the handle holds no whole picture.
    static bool FromPixMap(KXPixMapHandle handle, Image& out);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace CadHost::Render
