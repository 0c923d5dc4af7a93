// The session commands that work the add-on's palette as a person would: read it, click its
// buttons, choose and double-click rows, type into its open cell editors, move its date, resize
// and close it, and take a picture of it. The palette is the modeless window the add-on
// registered with the host; everything goes through the dialog toolkit, which sends the events a
// real toolkit would send.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "DG/Button.h"
#include "DG/DateControl.h"
#include "DG/ListBox.h"
#include "DG/Panel.h"
#include "DG/PopUp.h"
#include "DG/TextEdit.h"
#include "Host.h"
#include "KX/ObjectDisposer.h"
#include "Registry.h"
#include "Render/Image.h"
#include "Render/PngFile.h"
#include "Shell/Session.h"
#include "TI.h"

namespace CadHost {
namespace {

constexpr int16_t kDateItem = 10;  // the palette's current-date control

bool ParseInt(const std::string& text, int32_t& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

// YYYY-MM-DD, 00:00 of that day in the host's time.
bool ParseDate(const std::string& text, KXTime& value, std::string& error) {
    unsigned y = 0, m = 0, d = 0;
    char tail = 0;
    KXTimeRecord r{};
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4u-%2u-%2u%c", &y, &m, &d, &tail) != 3) {
        error = "a date is YYYY-MM-DD: '" + text + "'";
        return false;
    }
    r.year = static_cast<uint16_t>(y);
    r.month = static_cast<uint16_t>(m);
    r.day = static_cast<uint16_t>(d);
    if (TIGetKXTime(&r, &value, TIConvertPlain) != TIErr::NoError) {
        error = "no such date in the host's time: '" + text + "'";
        return false;
    }
    return true;
}

// The registered modeless window (the add-on's palette).
DG::Panel* FindPalette(std::string& error) {
    for (const auto& [id, callback] : Host::Get().modelessWindows)
        if (DG::Panel* panel = DG::Panel::Find(static_cast<int16_t>(id))) return panel;
    error = "the add-on has no palette";
    return nullptr;
}

DG::ListBox* FindList(DG::Panel& panel, std::string& error) {
    for (DG::Item* item : panel.GetItems())
        if (auto* list = dynamic_cast<DG::ListBox*>(item)) return list;
    error = "the palette has no list";
    return nullptr;
}

template <typename T>
T* FindItem(DG::Panel& panel, int32_t id, const char* kind, std::string& error) {
    auto* item = dynamic_cast<T*>(panel.GetItem(static_cast<int16_t>(id)));
    if (item == nullptr) error = "item " + std::to_string(id) + " of the palette is no " + kind;
    return item;
}

std::string DateText(KXTime value) {
    char text[TITimeStringSize] = {};
    if (TIGetTimeString(value, text, TIShortDate) != TIErr::NoError) return "?";
    return text;
}

// The row in editing: the selected row while cell editors sit in it.
int16_t EditingRow(const DG::ListBox& list) {
    for (int16_t f = 1; f <= list.GetTabFieldCount(); ++f) {
        const DG::Item* editor = list.GetOnTabItem(f);
        if (editor != nullptr && editor->IsVisible()) return list.GetSelectedItem();
    }
    return 0;
}

bool IsMarked(const DG::ListBox& list, int16_t row) {
    const auto color = list.GetItemColor(row);
    return color && color->red == 255 && color->green == 0 && color->blue == 0;
}

struct RowView {
    int16_t row;
    long id;
    std::string fields[5];
    std::string states;
};

std::vector<RowView> Rows(DG::ListBox& list) {
    std::vector<RowView> rows;
    const int16_t editing = EditingRow(list);
    for (int16_t row = 1; row <= list.GetItemCount(); ++row) {
        RowView v{row, static_cast<long>(list.GetItemValue(row)), {}, {}};
        for (int16_t f = 1; f <= 5; ++f) v.fields[f - 1] = list.GetCellText(row, f);
        std::vector<std::string> words;
        if (row == list.GetSelectedItem()) words.push_back("selected");
        if (IsMarked(list, row)) words.push_back("marked");
        if (row == editing) words.push_back("editing");
        for (size_t i = 0; i < words.size(); ++i) v.states += (i > 0 ? "," : "") + words[i];
        rows.push_back(std::move(v));
    }
    return rows;
}

bool Show(Session& s, DG::Panel& panel, std::string& error) {
    DG::ListBox* list = FindList(panel, error);
    if (list == nullptr) return false;
    std::ostream& out = s.Out();
    out << "palette: " << panel.GetTitle() << "\n";
    out << "visible: " << (panel.IsVisible() ? "yes" : "no") << "\n";
    for (DG::Item* item : panel.GetItems()) {
        if (auto* button = dynamic_cast<DG::Button*>(item)) {
            out << (item->GetId() >= 17 ? "header " : "button ") << item->GetId() << ": "
                << button->GetText() << (button->IsEnabled() ? "" : " (disabled)") << "\n";
        }
    }
    if (auto* date = dynamic_cast<DG::DateControl*>(panel.GetItem(kDateItem)))
        out << "date: " << DateText(date->GetValue()) << "\n";
    std::string marked;
    for (const RowView& v : Rows(*list)) {
        out << "row " << v.row << " [" << v.id << "]: " << v.fields[0] << " | " << v.fields[1]
            << " | " << v.fields[2] << " | " << v.fields[3] << " | " << v.fields[4] << "\n";
        if (IsMarked(*list, v.row)) marked += (marked.empty() ? "" : " ") + std::to_string(v.row);
    }
    out << "marked: " << (marked.empty() ? "none" : marked) << "\n";
    const int16_t selected = list->GetSelectedItem(), editing = EditingRow(*list);
    out << "selected: " << (selected > 0 ? std::to_string(selected) : "none") << "\n";
    out << "editing: " << (editing > 0 ? std::to_string(editing) : "none") << "\n";
    return true;
}

bool List(Session& s, DG::Panel& panel, std::string& error) {
    DG::ListBox* list = FindList(panel, error);
    if (list == nullptr) return false;
    for (const RowView& v : Rows(*list)) {
        s.Out() << v.row << '\t' << v.id;
        for (const std::string& f : v.fields) s.Out() << '\t' << f;
        s.Out() << '\t' << v.states << "\n";
    }
    return true;
}

// The cell editor attached to field `field` of the list, open in the row in editing.
template <typename T>
T* OpenEditor(DG::Panel& panel, int16_t field, std::string& error) {
    DG::ListBox* list = FindList(panel, error);
    if (list == nullptr) return nullptr;
    auto* editor = dynamic_cast<T*>(list->GetOnTabItem(field));
    if (editor == nullptr || !editor->IsVisible()) {
        error = "no row of the palette is in editing (double-click one first)";
        return nullptr;
    }
    return editor;
}

bool Edit(DG::Panel& panel, const std::vector<std::string>& args, std::string& error) {
    const std::string usage =
        "usage: palette edit name TEXT | edit type N | edit start DATE | edit end DATE";
    if (args.size() < 3) {
        error = usage;
        return false;
    }
    const std::string& what = args[1];
    if (what == "name") {
        std::string text = args[2];
        for (size_t i = 3; i < args.size(); ++i) text += " " + args[i];
        auto* edit = OpenEditor<DG::TextEdit>(panel, 1, error);
        return edit != nullptr && edit->UserSetText(text, error);
    }
    if (args.size() != 3) {
        error = usage;
        return false;
    }
    if (what == "type") {
        int32_t type = 0;
        if (!ParseInt(args[2], type) || type < 0 || type > 4) {
            error = "a task type is 0..4: '" + args[2] + "'";
            return false;
        }
        auto* popup = OpenEditor<DG::PopUp>(panel, 2, error);
        return popup != nullptr && popup->UserSelect(static_cast<int16_t>(type + 1), error);
    }
    if (what == "start" || what == "end") {
        KXTime value = 0;
        if (!ParseDate(args[2], value, error)) return false;
        auto* date = OpenEditor<DG::DateControl>(panel, what == "start" ? 4 : 5, error);
        return date != nullptr && date->UserSetValue(value, error);
    }
    error = usage;
    return false;
}

bool Render(DG::Panel& panel, const std::string& path, std::string& error) {
    const DG::Picture picture = panel.Render();
    Render::Image image(picture.Width(), picture.Height());
    image.Pixels() = picture.Pixels();
    return Render::PngFile::Write(image, path, error);
}

bool RunPalette(Session& s, const std::vector<std::string>& args, std::string& error) {
    DG::Panel* palette = FindPalette(error);
    if (palette == nullptr) return false;
    if (args.empty()) return Show(s, *palette, error);
    const std::string& verb = args[0];
    int32_t n = 0, m = 0;
    auto needInt = [&](size_t count, const char* usage) {
        if (args.size() != count + 1 || !ParseInt(args[1], n) ||
            (count == 2 && !ParseInt(args[2], m))) {
            error = std::string("usage: palette ") + usage;
            return false;
        }
        return true;
    };
    if (verb == "list" && args.size() == 1) return List(s, *palette, error);
    if (verb == "click") {
        if (!needInt(1, "click ITEM")) return false;
        auto* button = FindItem<DG::Button>(*palette, n, "button", error);
        return button != nullptr && button->UserClick(error);
    }
    if (verb == "select" || verb == "dblclick") {
        if (!needInt(1, verb == "select" ? "select ROW" : "dblclick ROW")) return false;
        DG::ListBox* list = FindList(*palette, error);
        if (list == nullptr) return false;
        const auto row = static_cast<int16_t>(n);
        if (n < 0 || n > list->GetItemCount()) {
            error = "the palette has no row " + args[1];
            return false;
        }
        return verb == "select" ? list->UserSelect(row, error) : list->UserDoubleClick(row, error);
    }
    if (verb == "edit") return Edit(*palette, args, error);
    if (verb == "date") {
        KXTime value = 0;
        if (args.size() != 2) {
            error = "usage: palette date YYYY-MM-DD";
            return false;
        }
        if (!ParseDate(args[1], value, error)) return false;
        auto* date = FindItem<DG::DateControl>(*palette, kDateItem, "date control", error);
        return date != nullptr && date->UserSetValue(value, error);
    }
    if (verb == "focus") {
        if (!needInt(1, "focus ITEM")) return false;
        DG::Item* item = palette->GetItem(static_cast<int16_t>(n));
        if (item == nullptr) {
            error = "the palette has no item " + args[1];
            return false;
        }
        return item->UserFocus(error);
    }
    if (verb == "resize") {
        if (!needInt(2, "resize DW DH")) return false;
        return palette->UserResize(n, m, error);
    }
    if (verb == "close" && args.size() == 1) return palette->UserCloseRequest(error);
    if (verb == "message") {
        if (!needInt(1, "message N")) return false;
        for (const auto& [id, callback] : Host::Get().modelessWindows) {
            if (id == palette->GetId() && callback != nullptr) {
                callback(id, n, 0);
                return true;
            }
        }
        error = "the palette has no callback";
        return false;
    }
    if (verb == "render" && args.size() == 2) return Render(*palette, args[1], error);
    error =
        "usage: palette [list | click ITEM | select ROW | dblclick ROW | edit ... | date DATE | "
        "focus ITEM | resize DW DH | close | message N | render FILE.png]";
    return false;
}

bool Palette(Session& s, const std::vector<std::string>& args, std::string& error) {
    const bool ok = RunPalette(s, args, error);
    // Objects the add-on marked as disposable during the event go now that it is over.
    KX::ObjectDisposer::Default().DisposeMarked();
    return ok;
}

Registrar paletteCommands([](Registry& r) {
    r.AddCommand(
        "palette",
        {"palette [list | click ITEM | select ROW | dblclick ROW | edit name TEXT | edit type N | "
         "edit start DATE | edit end DATE | date DATE | focus ITEM | resize DW DH | close | "
         "message N | render FILE.png]",
         "prints or works the add-on's palette as a person would (DATE is YYYY-MM-DD; row 0: "
         "none; N of edit type: task type 0..4)",
         Palette});
});

}  // namespace
}  // namespace CadHost
