#pragma once
// A list box in which at most one row is selected.
#include "DG/ListBox.h"

namespace DG {

class SingleSelListBox : public ListBox {
public:
    SingleSelListBox(Panel& panel, int16_t id) : ListBox(panel, id) {}
};

}  // namespace DG
