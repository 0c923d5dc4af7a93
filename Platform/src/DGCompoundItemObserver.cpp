#include "DG/Item.h"
#include "DG/Observers.h"
#include "DG/Panel.h"

namespace DG {

void CompoundItemObserver::AttachToAllItems(Panel& panel) {
    for (Item* item : panel.GetItems()) item->Attach(*this);
}

void CompoundItemObserver::DetachFromAllItems(Panel& panel) {
    for (Item* item : panel.GetItems()) item->Detach(*this);
}

}  // namespace DG
