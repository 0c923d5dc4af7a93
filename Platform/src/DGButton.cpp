#include "API/Pictures.h"
#include "DG/Button.h"
#include "DG/Observers.h"

namespace DG {

bool Button::UserClick(std::string& why) {
    if (!IsReachable(why)) return false;
    const ButtonClickEvent ev(this);
    Notify<ButtonItemObserver>([&](ButtonItemObserver& o) { o.ButtonClicked(ev); });
    return true;
}

void Button::Draw(Picture& picture, Point origin) {
    const Rect r = GetRect().Offset(origin.x, origin.y);
    DrawFrame(picture, r, KXPixel(0xFA, 0xFA, 0xFA));
    DrawLabel(picture, r, GetText(), true);
}

}  // namespace DG
