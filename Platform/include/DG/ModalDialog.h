#pragma once
// Modal dialogs of the toolkit, built from a dialog layout of a resource module and driven by the
// add-on's handler. Nothing is shown: the user agent is told what the dialog holds and answers with
// words, each one thing the user does, in order:
//   ITEM=VALUE   sets an item: a pop-up's entry (1 = the first), a check box or radio button (0/1),
//                a number field, a date field (YYYY-MM-DD), or a text field's text
//   ITEM         clicks an item: a button, a radio button (switched on) or a check box (turned over)
//   click ITEM   the same
//   ok | cancel  clicks item 1 | item 2
// A date field's value is the host's time value (KXTime) of its day. Radio buttons next to each
// other in the layout form one group. Every set item and every click on a radio button or check box
// reaches the handler as a change, every other click as a click; a click that the handler answers
// with a nonzero item closes the dialog with that item. Items 1 and 2 close the dialog when
// the handler leaves the decision to the toolkit (answers 0); a handler that refuses what the user
// entered answers DG_KEEP_OPEN and the dialog stays. An answer that ends with the dialog still open
// cancels it (item 2).
#include <cstdint>
#include <string>
#include <vector>

#include "API/ApiTypes.h"

// Messages of the dialog handler.
constexpr short DG_MSG_INIT = 1;    // the dialog has opened: fill the items
constexpr short DG_MSG_CLOSE = 2;   // the dialog closes with `item`
constexpr short DG_MSG_CLICK = 4;   // `item` was clicked; answer the item to close with, or 0
constexpr short DG_MSG_CHANGE = 6;  // `item`'s value or text was changed by the user

constexpr short DG_POPUP_BOTTOM = -1;  // insert at the end of a pop-up
constexpr short DG_KEEP_OPEN = -1;     // answer to a click: the dialog stays open

using DGDialCallBack = short (*)(short message, short dialId, short item, intptr_t userData,
                                 intptr_t msgData);

// Runs dialog `resId` of `module` to its end; returns the item it closed with (0 when the layout
// does not exist).
short DGModalDialog(GSResModule module, short resId, DGDialCallBack handler, intptr_t userData);

// Item calls on an open dialog (`dialId` is the dialog's layout number).
void DGSetItemValLong(short dialId, short item, int32_t value);
int32_t DGGetItemValLong(short dialId, short item);
void DGSetItemValDouble(short dialId, short item, double value);
double DGGetItemValDouble(short dialId, short item);
void DGSetItemMinLong(short dialId, short item, int32_t value);
void DGSetItemMaxLong(short dialId, short item, int32_t value);
void DGSetItemText(short dialId, short item, const char* text);
std::string DGGetItemText(short dialId, short item);
void DGEnableItem(short dialId, short item);
void DGDisableItem(short dialId, short item);
bool DGIsItemEnabled(short dialId, short item);
void DGShowItem(short dialId, short item);
void DGHideItem(short dialId, short item);

// Pop-up items: entries numbered from 1; the item's value is the selected entry (0 = none).
void DGPopUpInsertItem(short dialId, short item, short pos);
void DGPopUpSetItemText(short dialId, short item, short pos, const char* text);
std::string DGPopUpGetItemText(short dialId, short item, short pos);
void DGPopUpSetItemUserData(short dialId, short item, short pos, intptr_t userData);
intptr_t DGPopUpGetItemUserData(short dialId, short item, short pos);
void DGPopUpDeleteItem(short dialId, short item, short pos);
short DGPopUpGetItemCount(short dialId, short item);
void DGPopUpSelectItem(short dialId, short item, short pos);
short DGPopUpGetSelected(short dialId, short item);

namespace DG {

// What an open dialog's items hold, for the agent and for tests.
struct ItemState {
    short id = 0;
    std::string type;  // from the layout: button, popup, check, radio, edit, number, text, ...
    std::string text;
    double value = 0;
    double minimum = -1e300, maximum = 1e300;
    bool enabled = true, visible = true;
    struct Entry {
        std::string text;
        intptr_t userData = 0;
    };
    std::vector<Entry> entries;  // pop-up entries
};

// The description the agent is given: one line per visible item.
std::string DescribeDialog(short dialId);
// The items of the open dialog `dialId`; null when no such dialog is open.
const std::vector<ItemState>* OpenDialogItems(short dialId);

}  // namespace DG
