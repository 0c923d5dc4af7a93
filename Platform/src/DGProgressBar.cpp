#include <algorithm>

#include "API/Pictures.h"
#include "DG/ProgressBar.h"

namespace DG {

void ProgressBar::SetValue(int32_t value) {
    value_ = std::clamp(value, min_, std::max(min_, max_));
}

int32_t ProgressBar::FilledWidth() const {
    const int64_t span = static_cast<int64_t>(max_) - min_;
    const int32_t inner = std::max(GetWidth() - 2, 0);
    if (span <= 0) return 0;
    return static_cast<int32_t>((static_cast<int64_t>(value_) - min_) * inner / span);
}

void ProgressBar::Draw(Picture& picture, Point origin) {
    const Rect r = GetRect().Offset(origin.x, origin.y);
    DrawFrame(picture, r, KXPixel(0xFF, 0xFF, 0xFF));
    picture.Fill({r.left + 1, r.top + 1, r.left + 1 + FilledWidth(), r.bottom - 1},
                 KXPixel(0x3B, 0x7D, 0xD8));
}

}  // namespace DG
