#include "API/Pictures.h"
#include "DG/Observers.h"
#include "DG/TextEdit.h"

namespace DG {

bool TextEdit::UserSetText(const std::string& text, std::string& why) {
    if (!UserFocus(why)) return false;
    SetText(text);
    const TextEditChangeEvent ev(this);
    Notify<TextEditObserver>([&](TextEditObserver& o) { o.TextEditContentChanged(ev); });
    return true;
}

void TextEdit::Draw(Picture& picture, Point origin) {
    const Rect r = GetRect().Offset(origin.x, origin.y);
    DrawFrame(picture, r, KXPixel(0xFF, 0xFF, 0xFF));
    DrawLabel(picture, r, GetText(), false);
}

}  // namespace DG
