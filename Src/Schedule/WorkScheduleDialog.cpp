#include "Schedule/WorkScheduleDialog.h"

#include "AddOn/OneLineText.h"
#include "AddOn/UseOwnResFile.h"
#include "DG/ModalDialog.h"
#include "Host/VTAPI.h"

WorkScheduleDialog::WorkScheduleDialog(std::vector<std::string> entries_)
    : entries(std::move(entries_)) {}

short WorkScheduleDialog::Handler(short message, short dialId, short item, intptr_t userData,
                                  intptr_t) {
    auto* self = reinterpret_cast<WorkScheduleDialog*>(userData);
    switch (message) {
        case DG_MSG_INIT:
            for (size_t i = 0; i < self->entries.size(); ++i) {
                DGPopUpInsertItem(dialId, kPopupItem, DG_POPUP_BOTTOM);
                DGPopUpSetItemText(dialId, kPopupItem, DG_POPUP_BOTTOM,
                                   OneLineText::Of(self->entries[i]).c_str());
                DGPopUpSetItemUserData(dialId, kPopupItem, DG_POPUP_BOTTOM,
                                       static_cast<intptr_t>(i));
            }
            if (!self->entries.empty()) DGPopUpSelectItem(dialId, kPopupItem, 1);
            break;
        case DG_MSG_CLOSE:
            if (item == kOkItem) {
                const short selected = DGPopUpGetSelected(dialId, kPopupItem);
                if (selected >= 1)
                    self->chosen =
                        static_cast<int32_t>(DGPopUpGetItemUserData(dialId, kPopupItem, selected));
            }
            break;
        default:
            break;
    }
    return 0;
}

int32_t WorkScheduleDialog::Show() {
    chosen = -1;
    UseOwnResFile own;
    if (DGModalDialog(VTAPI_GetOwnResModule(), kDialogId, Handler,
                      reinterpret_cast<intptr_t>(this)) != kOkItem)
        return -1;
    return chosen;
}
