#include "API/Pictures.h"
#include "DG/DialogFont.h"
#include "DG/LeftText.h"

namespace DG {

void LeftText::Draw(Picture& picture, Point origin) {
    const Rect r = GetRect().Offset(origin.x, origin.y);
    DialogFont::Draw(picture, GetText(), r.left, r.top + DialogFont::kAscent,
                     IsEnabled() ? KXPixel(0, 0, 0) : KXPixel(0x9A, 0x9A, 0x9A), r);
}

}  // namespace DG
