#pragma once
// A static text, drawn from its left edge.
#include "DG/Item.h"

namespace DG {

class LeftText : public Item {
public:
    LeftText(Panel& panel, int16_t id) : Item(panel, id) {}

    void Draw(Picture& picture, Point origin) override;
};

}  // namespace DG
