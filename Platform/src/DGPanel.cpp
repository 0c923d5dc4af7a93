#include <algorithm>

#include "API/Pictures.h"
#include "DG/DialogFont.h"
#include "DG/Item.h"
#include "DG/ListBox.h"
#include "DG/Observers.h"
#include "DG/Panel.h"

namespace DG {
namespace {

std::vector<Panel*>& Registry() {
    static std::vector<Panel*> panels;
    return panels;
}

}  // namespace

Panel::Panel(GSResModule module, int16_t resId) {
    if (const RS::DialogLayout* layout = RSGetDialog(resId, module)) {
        layout_ = *layout;
        id_ = resId;
        title_ = layout->title;
        width_ = layout->width;
        height_ = layout->height;
    }
    Registry().push_back(this);
}

Panel::~Panel() {
    AnnounceDestruction();
    std::erase(Registry(), this);
}

const std::vector<Panel*>& Panel::AllPanels() { return Registry(); }

Panel* Panel::Find(int16_t id) {
    for (Panel* p : Registry())
        if (p->GetId() == id && id != 0) return p;
    return nullptr;
}

Item* Panel::GetItem(int16_t id) const {
    for (Item* item : items_)
        if (item->GetId() == id) return item;
    return nullptr;
}

void Panel::AddItem(Item* item) {
    const auto at = std::upper_bound(items_.begin(), items_.end(), item,
                                     [](Item* a, Item* b) { return a->GetId() < b->GetId(); });
    items_.insert(at, item);
}

void Panel::RemoveItem(Item* item) {
    std::erase(items_, item);
    if (focused_ == item) focused_ = nullptr;
    // A list must not keep a vanished item as a cell editor.
    for (Item* other : items_) {
        auto* list = dynamic_cast<ListBox*>(other);
        if (list == nullptr) continue;
        for (int16_t f = 1; f <= list->GetTabFieldCount(); ++f)
            if (list->GetOnTabItem(f) == item) list->RemoveOnTabItem(f);
    }
}

void Panel::EndMoveResizeItems() {
    if (moveResizeDepth_ > 0) --moveResizeDepth_;
}

void Panel::MoveFocus(Item* item) {
    if (item == focused_) return;
    Item* previous = focused_;
    focused_ = item;
    if (previous != nullptr) {
        const ItemFocusEvent lost(previous);
        previous->Notify<ItemObserver>([&](ItemObserver& o) { o.ItemFocusLost(lost); });
    }
    // An observer of the loss may have moved the focus again.
    if (item != nullptr && focused_ == item) {
        const ItemFocusEvent gained(item);
        item->Notify<ItemObserver>([&](ItemObserver& o) { o.ItemFocusGained(gained); });
    }
}

void Panel::ClearFocus() { MoveFocus(nullptr); }

void Panel::BeginEventProcessing() {
    if (processing_) return;
    processing_ = true;
    const PanelOpenEvent ev(this);
    Notify<PanelObserver>([&](PanelObserver& o) { o.PanelOpened(ev); });
}

void Panel::EndEventProcessing() {
    if (!processing_) return;
    processing_ = false;
    const PanelCloseEvent ev(this);
    Notify<PanelObserver>([&](PanelObserver& o) { o.PanelClosed(ev); });
}

bool Panel::IsReachable(std::string& why) const {
    if (id_ == 0) {
        why = "the window has no layout";
        return false;
    }
    if (!processing_) {
        why = "the window is not open";
        return false;
    }
    if (!visible_) {
        why = "the window is not shown";
        return false;
    }
    return true;
}

void Panel::RequestClose() {
    bool accepted = false;
    const PanelCloseRequestEvent ev(this);
    Notify<PanelObserver>([&](PanelObserver& o) { o.PanelCloseRequested(ev, &accepted); });
    if (accepted) Hide();
}

bool Panel::UserCloseRequest(std::string& why) {
    if (!IsReachable(why)) return false;
    RequestClose();
    return true;
}

bool Panel::UserResize(int32_t dh, int32_t dv, std::string& why) {
    if (!IsReachable(why)) return false;
    if (width_ + dh < 1 || height_ + dv < 1) {
        why = "the window cannot be that small";
        return false;
    }
    width_ += dh;
    height_ += dv;
    const PanelResizeEvent ev(this, dh, dv);
    Notify<PanelObserver>([&](PanelObserver& o) { o.PanelResized(ev); });
    return true;
}

Picture Panel::Render() {
    Picture picture(width_, height_ + kTitleBarHeight, KXPixel(0xEC, 0xEC, 0xEC));
    const Rect bar{0, 0, width_, kTitleBarHeight};
    picture.Fill(bar, KXPixel(0xD4, 0xD4, 0xD4));
    picture.Fill({0, kTitleBarHeight - 1, width_, kTitleBarHeight}, KXPixel(0xA0, 0xA0, 0xA0));
    DialogFont::Draw(picture, title_, (width_ - DialogFont::TextWidth(title_)) / 2,
                     (kTitleBarHeight + DialogFont::kAscent - DialogFont::kDescent) / 2,
                     KXPixel(0x20, 0x20, 0x20), bar);
    const Point origin{0, kTitleBarHeight};
    // Lists first: their cell editors are items of their own and lie on top.
    for (Item* item : items_)
        if (item->IsVisible() && dynamic_cast<ListBox*>(item) != nullptr)
            item->Draw(picture, origin);
    for (Item* item : items_)
        if (item->IsVisible() && dynamic_cast<ListBox*>(item) == nullptr)
            item->Draw(picture, origin);
    return picture;
}

}  // namespace DG
