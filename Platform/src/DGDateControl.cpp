#include "API/Pictures.h"
#include "DG/DateControl.h"
#include "DG/Observers.h"

namespace DG {

bool DateControl::UserSetValue(KXTime value, std::string& why) {
    if (!UserFocus(why)) return false;
    value_ = value;
    const DateTimeChangeEvent ev(this);
    Notify<DateTimeObserver>([&](DateTimeObserver& o) { o.DateTimeChanged(ev); });
    return true;
}

void DateControl::Draw(Picture& picture, Point origin) {
    const Rect r = GetRect().Offset(origin.x, origin.y);
    DrawFrame(picture, r, KXPixel(0xFF, 0xFF, 0xFF));
    char text[TITimeStringSize] = {};
    if (TIGetTimeString(value_, text, TIShortDate) != TIErr::NoError) text[0] = '\0';
    DrawLabel(picture, r, text, false);
}

}  // namespace DG
