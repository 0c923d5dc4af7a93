#pragma once
#include "AddOn/ResourceIds.h"
// Lets the user pick the day/month/year order of an exchanged file when its dates fit several:
// a pop-up shows a sample date in each order still possible.
class DateFromString;

class DateFormatSelectionDialog {
public:
    static constexpr short kDialogId = ResId::DateOrderDialog;
    static constexpr short kOkItem = 1;
    static constexpr short kPopupItem = 4;

    explicit DateFormatSelectionDialog(DateFromString& dates);
    // True when the user confirmed a choice; the chosen order is then the only candidate left.
    bool Show();

private:
    DateFromString& dates;
};
