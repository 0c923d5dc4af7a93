#pragma once
// Observer interfaces of the toolkit. A class that wants several kinds of event derives from
// several of them; they share one KX::EventObserver, so one attachment list serves all.
#include "DG/Events.h"
#include "KX/EventObserver.h"

namespace DG {

class PanelObserver : public virtual KX::EventObserver {
public:
    virtual void PanelOpened(const PanelOpenEvent&) {}
    virtual void PanelClosed(const PanelCloseEvent&) {}
    // `accepted` comes in false; an observer that sets it lets the panel hide itself.
    virtual void PanelCloseRequested(const PanelCloseRequestEvent&, bool* /*accepted*/) {}
    virtual void PanelResized(const PanelResizeEvent&) {}
};

class ItemObserver : public virtual KX::EventObserver {
public:
    virtual void ItemFocusGained(const ItemFocusEvent&) {}
    virtual void ItemFocusLost(const ItemFocusEvent&) {}
};

// Attaches to every item of a panel at once.
class CompoundItemObserver : public virtual ItemObserver {
public:
    void AttachToAllItems(Panel& panel);
    void DetachFromAllItems(Panel& panel);
};

class ButtonItemObserver : public virtual ItemObserver {
public:
    virtual void ButtonClicked(const ButtonClickEvent&) {}
};

class TextEditObserver : public virtual ItemObserver {
public:
    virtual void TextEditContentChanged(const TextEditChangeEvent&) {}
};

class ListBoxObserver : public virtual ItemObserver {
public:
    virtual void ListBoxSelectionChanged(const ListBoxSelectionEvent&) {}
    virtual void ListBoxDoubleClicked(const ListBoxDoubleClickEvent&) {}
    virtual void ListBoxTabFieldUpdate(const ListBoxUpdateEvent&) {}
};

class DateTimeObserver : public virtual ItemObserver {
public:
    virtual void DateTimeChanged(const DateTimeChangeEvent&) {}
};

class PopUpObserver : public virtual ItemObserver {
public:
    virtual void PopUpChanged(const PopUpChangeEvent&) {}
};

}  // namespace DG
