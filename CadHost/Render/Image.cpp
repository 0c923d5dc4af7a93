#include "Render/Image.h"

#include <algorithm>
#include <cstring>

namespace CadHost::Render {

Image::Image(int width, int height, uint32_t fill) {
    Resize(width, height);
    std::fill(pixels_.begin(), pixels_.end(), fill);
}

void Image::Resize(int width, int height) {
    width_ = width > 0 && height > 0 ? width : 0;
    height_ = width > 0 && height > 0 ? height : 0;
    pixels_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
}

Image Image::Downsampled(int factor) const {
    Image out;
    DownsampleInto(factor, out);
    return out;
}

void Image::DownsampleInto(int factor, Image& out) const {
    if (factor <= 1 || width_ % factor != 0 || height_ % factor != 0) {
        out = *this;
        return;
    }
    out.Resize(width_ / factor, height_ / factor);
    const uint32_t count = static_cast<uint32_t>(factor * factor);
    for (int y = 0; y < out.height_; ++y) {
        uint32_t* dst = out.Row(y);
        for (int x = 0; x < out.width_; ++x) {
            uint32_t r = 0, g = 0, b = 0;
            for (int sy = 0; sy < factor; ++sy) {
                const uint32_t* src = Row(y * factor + sy) + x * factor;
                for (int sx = 0; sx < factor; ++sx) {
                    r += KXPixelRed(src[sx]);
                    g += KXPixelGreen(src[sx]);
                    b += KXPixelBlue(src[sx]);
                }
            }
            // Rounded to the nearest value.
            dst[x] = KXPixel(static_cast<uint8_t>((r + count / 2) / count),
                             static_cast<uint8_t>((g + count / 2) / count),
                             static_cast<uint8_t>((b + count / 2) / count));
        }
    }
}

bool Image::ToPixMap(KXPixMapHandle* handle) const {
    if (handle == nullptr || IsEmpty()) return false;
    const int64_t bytes = KXPixMapByteSize(width_, height_);
    if (bytes < 0) return false;
    if (*handle == nullptr) {
        *handle = KXPixMapNew(width_, height_);
        if (*handle == nullptr) return false;
    } else if (BMReallocHandle(reinterpret_cast<GSHandle>(*handle), static_cast<int32_t>(bytes), 0,
                               0) != 0) {
        return false;
    }
    (**handle)->width = width_;
    (**handle)->height = height_;
    std::memcpy(KXPixMapPixels(*handle), pixels_.data(), pixels_.size() * sizeof(uint32_t));
    return true;
}

bool Image::FromPixMap(KXPixMapHandle handle, Image& out) {
    if (!KXPixMapIsValid(handle)) return false;
    out.Resize((*handle)->width, (*handle)->height);
    std::memcpy(out.pixels_.data(), KXPixMapPixels(handle), out.pixels_.size() * sizeof(uint32_t));
    return true;
}

}  // namespace CadHost::Render
