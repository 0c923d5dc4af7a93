#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "DG/ModalDialog.h"
#include "DG/UserAgent.h"
#include "RS.h"
#include "TI.h"

namespace {

struct OpenDialog {
    short id = 0;
    std::string title;
    std::vector<DG::ItemState> items;
};

// Dialogs open now, the innermost last.
std::vector<OpenDialog>& Stack() {
    static std::vector<OpenDialog> stack;
    return stack;
}

// The innermost open dialog with this number; null when none is open.
OpenDialog* Dialog(short dialId) {
    auto& stack = Stack();
    for (auto d = stack.rbegin(); d != stack.rend(); ++d)
        if (d->id == dialId) return &*d;
    return nullptr;
}

DG::ItemState* Item(short dialId, short item) {
    OpenDialog* dialog = Dialog(dialId);
    if (dialog == nullptr) return nullptr;
    for (DG::ItemState& i : dialog->items)
        if (i.id == item) return &i;
    return nullptr;
}

bool IsToggle(const DG::ItemState& item) { return item.type == "check" || item.type == "radio"; }

// Radio buttons next to each other in the layout form one group: switching one on switches the
// others of its group off. Any other item between two radio buttons starts a new group.
void SetValue(short dialId, DG::ItemState& item, double value) {
    item.value = std::clamp(value, item.minimum, item.maximum);
    if (item.type != "radio" || value == 0) return;
    std::vector<DG::ItemState>& items = Dialog(dialId)->items;
    const auto at = items.begin() + (&item - items.data());
    for (auto i = at; i != items.begin() && (i - 1)->type == "radio"; --i) (i - 1)->value = 0;
    for (auto i = at + 1; i != items.end() && i->type == "radio"; ++i) i->value = 0;
}

// "YYYY-MM-DD" as the host's time value of that day's start; false when it is no such day.
bool ParseDate(const std::string& text, double& value) {
    int year = 0, month = 0, day = 0, used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) != 3 ||
        used != static_cast<int>(text.size()) || year < 1 || month < 1 || day < 1)
        return false;
    KXTimeRecord record{};
    record.year = static_cast<uint16_t>(year);
    record.month = static_cast<uint16_t>(month);
    record.day = static_cast<uint16_t>(day);
    KXTime time = 0;
    if (TIGetKXTime(&record, &time, TIConvertPlain) != 0) return false;
    value = time;
    return true;
}

std::string DateText(double value) {
    KXTimeRecord record{};
    if (TIGetTimeRecord(static_cast<KXTime>(value), &record, TIConvertPlain) != 0) return "?";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", record.year, record.month, record.day);
    return text;
}

bool IsItemNumber(const std::string& word) {
    return !word.empty() && word.size() <= 5 &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Number(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

}  // namespace

namespace DG {

std::string DescribeDialog(short dialId) {
    std::ostringstream out;
    const OpenDialog* dialog = Dialog(dialId);
    if (dialog == nullptr) return {};
    for (const ItemState& i : dialog->items) {
        if (!i.visible) continue;
        out << "  item " << i.id << " " << i.type;
        if (!i.enabled) out << " (disabled)";
        out << ":";
        if (i.type == "popup") {
            for (size_t e = 0; e < i.entries.size(); ++e)
                out << " [" << (e + 1) << "] " << i.entries[e].text
                    << (static_cast<double>(e + 1) == i.value ? " (chosen)" : "");
        } else if (IsToggle(i)) {
            out << " " << i.text << " = " << (i.value != 0 ? "on" : "off");
        } else if (i.type == "date") {
            out << " " << i.text << " = " << DateText(i.value);
        } else if (i.type == "number") {
            out << " " << i.text << " = " << Number(i.value);
        } else if (i.type == "edit") {
            out << " \"" << i.text << "\"";
        } else {
            out << " " << i.text;
        }
        out << "\n";
    }
    out << "  answer with ITEM=VALUE (dates YYYY-MM-DD), ITEM to click, ok or cancel";
    return out.str();
}

const std::vector<ItemState>* OpenDialogItems(short dialId) {
    const OpenDialog* dialog = Dialog(dialId);
    return dialog != nullptr ? &dialog->items : nullptr;
}

}  // namespace DG

short DGModalDialog(GSResModule module, short resId, DGDialCallBack handler, intptr_t userData) {
    const RS::DialogLayout* layout = RSGetDialog(resId, module);
    if (layout == nullptr || handler == nullptr) return 0;
    OpenDialog dialog;
    dialog.id = resId;
    dialog.title = layout->title;
    for (const RS::DialogItem& i : layout->items) {
        DG::ItemState state;
        state.id = i.id;
        state.type = i.type;
        state.text = i.text;
        dialog.items.push_back(std::move(state));
    }
    Stack().push_back(std::move(dialog));
    handler(DG_MSG_INIT, resId, 0, userData, 0);

    DG::DialogRequest request;
    request.id = resId;
    request.title = Stack().back().title;
    request.description = DG::DescribeDialog(resId);
    const std::vector<std::string> words = DG::CurrentUserAgent().AnswerDialog(request);

    short closeWith = 0;
    auto click = [&](short item) {
        DG::ItemState* state = Item(resId, item);
        if (state == nullptr || !state->enabled) return;
        // A click on a radio button switches it on, on a check box turns it over: both are
        // changes of the item's value. A radio button that is on already changes nothing, and
        // its dialog hears nothing, as with a person's click.
        if (state->type == "radio" && state->value != 0) return;
        if (IsToggle(*state)) {
            SetValue(resId, *state, state->type == "radio" || state->value == 0 ? 1 : 0);
            handler(DG_MSG_CHANGE, resId, item, userData, 0);
            return;
        }
        const short answer = handler(DG_MSG_CLICK, resId, item, userData, 0);
        if (answer == DG_KEEP_OPEN) return;
        if (answer != 0)
            closeWith = answer;
        else if (item == 1 || item == 2)
            closeWith = item;
    };
    for (size_t w = 0; w < words.size() && closeWith == 0; ++w) {
        const std::string& word = words[w];
        if (word == "ok") {
            click(1);
        } else if (word == "cancel") {
            closeWith = 2;
        } else if (word == "click" && w + 1 < words.size()) {
            click(static_cast<short>(std::atoi(words[++w].c_str())));
        } else if (IsItemNumber(word)) {
            click(static_cast<short>(std::atoi(word.c_str())));
        } else if (const size_t eq = word.find('='); eq != std::string::npos) {
            const short item = static_cast<short>(std::atoi(word.substr(0, eq).c_str()));
            const std::string value = word.substr(eq + 1);
            DG::ItemState* state = Item(resId, item);
            if (state == nullptr || !state->enabled) continue;
            if (state->type == "edit" || state->type == "text") {
                state->text = value;
            } else if (state->type == "date") {
                double day = 0;
                if (!ParseDate(value, day)) continue;
                SetValue(resId, *state, day);
            } else if (state->type == "popup") {
                const int entry = std::atoi(value.c_str());
                if (entry < 1 || entry > static_cast<int>(state->entries.size())) continue;
                state->value = entry;
            } else {
                SetValue(resId, *state, std::strtod(value.c_str(), nullptr));
            }
            handler(DG_MSG_CHANGE, resId, item, userData, 0);
        }
    }
    if (closeWith == 0) closeWith = 2;
    handler(DG_MSG_CLOSE, resId, closeWith, userData, 0);
    Stack().pop_back();
    return closeWith;
}

void DGSetItemValLong(short dialId, short item, int32_t value) {
    DGSetItemValDouble(dialId, item, value);
}

int32_t DGGetItemValLong(short dialId, short item) {
    return static_cast<int32_t>(DGGetItemValDouble(dialId, item));
}

void DGSetItemValDouble(short dialId, short item, double value) {
    if (DG::ItemState* i = Item(dialId, item)) SetValue(dialId, *i, value);
}

double DGGetItemValDouble(short dialId, short item) {
    const DG::ItemState* i = Item(dialId, item);
    return i != nullptr ? i->value : 0;
}

void DGSetItemMinLong(short dialId, short item, int32_t value) {
    if (DG::ItemState* i = Item(dialId, item)) {
        i->minimum = value;
        i->value = std::max(i->value, i->minimum);
    }
}

void DGSetItemMaxLong(short dialId, short item, int32_t value) {
    if (DG::ItemState* i = Item(dialId, item)) {
        i->maximum = value;
        i->value = std::min(i->value, i->maximum);
    }
}

void DGSetItemText(short dialId, short item, const char* text) {
    if (DG::ItemState* i = Item(dialId, item)) i->text = text != nullptr ? text : "";
}

std::string DGGetItemText(short dialId, short item) {
    const DG::ItemState* i = Item(dialId, item);
    return i != nullptr ? i->text : std::string();
}

void DGEnableItem(short dialId, short item) {
    if (DG::ItemState* i = Item(dialId, item)) i->enabled = true;
}

void DGDisableItem(short dialId, short item) {
    if (DG::ItemState* i = Item(dialId, item)) i->enabled = false;
}

bool DGIsItemEnabled(short dialId, short item) {
    const DG::ItemState* i = Item(dialId, item);
    return i != nullptr && i->enabled;
}

void DGShowItem(short dialId, short item) {
    if (DG::ItemState* i = Item(dialId, item)) i->visible = true;
}

void DGHideItem(short dialId, short item) {
    if (DG::ItemState* i = Item(dialId, item)) i->visible = false;
}

namespace {

// Entry `pos` (1-based) of a pop-up, DG_POPUP_BOTTOM for the last; null when there is none.
DG::ItemState::Entry* Entry(short dialId, short item, short pos) {
    DG::ItemState* i = Item(dialId, item);
    if (i == nullptr || i->entries.empty()) return nullptr;
    if (pos == DG_POPUP_BOTTOM) return &i->entries.back();
    if (pos < 1 || pos > static_cast<short>(i->entries.size())) return nullptr;
    return &i->entries[static_cast<size_t>(pos - 1)];
}

}  // namespace

void DGPopUpInsertItem(short dialId, short item, short pos) {
    DG::ItemState* i = Item(dialId, item);
    if (i == nullptr) return;
    if (pos == DG_POPUP_BOTTOM || pos > static_cast<short>(i->entries.size())) {
        i->entries.emplace_back();
    } else {
        i->entries.insert(i->entries.begin() + std::max<short>(pos, 1) - 1, DG::ItemState::Entry{});
        if (i->value >= std::max<short>(pos, 1)) i->value += 1;
    }
    if (i->value == 0) i->value = 1;  // a pop-up with entries always shows one
}

void DGPopUpSetItemText(short dialId, short item, short pos, const char* text) {
    if (DG::ItemState::Entry* e = Entry(dialId, item, pos)) e->text = text != nullptr ? text : "";
}

std::string DGPopUpGetItemText(short dialId, short item, short pos) {
    const DG::ItemState::Entry* e = Entry(dialId, item, pos);
    return e != nullptr ? e->text : std::string();
}

void DGPopUpSetItemUserData(short dialId, short item, short pos, intptr_t userData) {
    if (DG::ItemState::Entry* e = Entry(dialId, item, pos)) e->userData = userData;
}

intptr_t DGPopUpGetItemUserData(short dialId, short item, short pos) {
    const DG::ItemState::Entry* e = Entry(dialId, item, pos);
    return e != nullptr ? e->userData : 0;
}

void DGPopUpDeleteItem(short dialId, short item, short pos) {
    DG::ItemState* i = Item(dialId, item);
    if (i == nullptr || i->entries.empty()) return;
    const short at = pos == DG_POPUP_BOTTOM ? static_cast<short>(i->entries.size()) : pos;
    if (at < 1 || at > static_cast<short>(i->entries.size())) return;
    i->entries.erase(i->entries.begin() + at - 1);
    if (i->value > static_cast<double>(i->entries.size()) || i->value > at) i->value -= 1;
    if (i->value == 0 && !i->entries.empty()) i->value = 1;
}

short DGPopUpGetItemCount(short dialId, short item) {
    const DG::ItemState* i = Item(dialId, item);
    return i != nullptr ? static_cast<short>(i->entries.size()) : 0;
}

void DGPopUpSelectItem(short dialId, short item, short pos) {
    DG::ItemState* i = Item(dialId, item);
    if (i == nullptr) return;
    if (pos == DG_POPUP_BOTTOM) pos = static_cast<short>(i->entries.size());
    if (pos >= 1 && pos <= static_cast<short>(i->entries.size())) i->value = pos;
}

short DGPopUpGetSelected(short dialId, short item) {
    const DG::ItemState* i = Item(dialId, item);
    return i != nullptr ? static_cast<short>(i->value) : 0;
}
