#include "Dates/DateFormatSelectionDialog.h"

#include "DG/ModalDialog.h"
#include "Dates/DateFromString.h"
#include "Host/VTAPI.h"
#include "AddOn/UseOwnResFile.h"

namespace {

short DialogHandler(short message, short dialId, short item, intptr_t userData, intptr_t) {
    auto* dates = reinterpret_cast<DateFromString*>(userData);
    switch (message) {
        case DG_MSG_INIT: {
            DateFromString::FormatChoice choices[3];
            const int count = dates->GetFormatChoices(choices);
            for (int i = 0; i < count; ++i) {
                DGPopUpInsertItem(dialId, DateFormatSelectionDialog::kPopupItem, DG_POPUP_BOTTOM);
                DGPopUpSetItemText(dialId, DateFormatSelectionDialog::kPopupItem, DG_POPUP_BOTTOM,
                                   choices[i].text);
                DGPopUpSetItemUserData(dialId, DateFormatSelectionDialog::kPopupItem,
                                       DG_POPUP_BOTTOM, choices[i].format);
            }
            break;
        }
        case DG_MSG_CLOSE:
            if (item == DateFormatSelectionDialog::kOkItem) {
                const short chosen =
                    DGPopUpGetSelected(dialId, DateFormatSelectionDialog::kPopupItem);
                if (chosen >= 1)
                    dates->SelectDateFormat(
                        static_cast<DateFromString::DateFormat>(DGPopUpGetItemUserData(
                            dialId, DateFormatSelectionDialog::kPopupItem, chosen)));
            }
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace

DateFormatSelectionDialog::DateFormatSelectionDialog(DateFromString& dates_) : dates(dates_) {}

bool DateFormatSelectionDialog::Show() {
    UseOwnResFile own;
    return DGModalDialog(VTAPI_GetOwnResModule(), kDialogId, DialogHandler,
                         reinterpret_cast<intptr_t>(&dates)) == kOkItem;
}
