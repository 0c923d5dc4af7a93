#pragma once
// Receives every event of the palette and turns it into work on the palette, the schedule, the
// element links and the model: committing in-place edits before anything else, the buttons, the
// list's selection and double-clicks, the current date, the palette's layout when it opens and
// when it is resized, and its registration with the host as a modeless window.
#include "DG/Observers.h"
#include "KX/DisposableObject.h"

class MainDialogCPP;

class MainDialogObserver : public DG::PanelObserver,
                           public DG::CompoundItemObserver,
                           public DG::ButtonItemObserver,
                           public DG::TextEditObserver,
                           public DG::ListBoxObserver,
                           public DG::DateTimeObserver,
                           public DG::PopUpObserver,
                           public KX::DisposableObject {
public:
    // The add-on owns the observer alone and deletes it before the palette (TearDownAddOn); it is
    // never handed to the toolkit's disposer. Attaches itself to the palette and all its items
    // (nothing when dialog is null).
    explicit MainDialogObserver(MainDialogCPP* dialog);
    ~MainDialogObserver() override;

    void InitListBoxOnTabItems() {}
    MainDialogCPP* Dialog() const { return dialog; }

protected:
    void PanelOpened(const DG::PanelOpenEvent& ev) override;
    void PanelClosed(const DG::PanelCloseEvent&) override {}
    void PanelCloseRequested(const DG::PanelCloseRequestEvent& ev, bool* accepted) override;
    void PanelResized(const DG::PanelResizeEvent& ev) override;
    void ItemFocusGained(const DG::ItemFocusEvent& ev) override;
    void ButtonClicked(const DG::ButtonClickEvent& ev) override;
    void ListBoxSelectionChanged(const DG::ListBoxSelectionEvent& ev) override;
    void ListBoxDoubleClicked(const DG::ListBoxDoubleClickEvent& ev) override;
    void ListBoxTabFieldUpdate(const DG::ListBoxUpdateEvent& ev) override;
    void DateTimeChanged(const DG::DateTimeChangeEvent& ev) override;
    void SourceDestroyed(KX::EventSource* source) override;

private:
    void Clicked(short item);
    // Whether the host has elements selected (the marquee's polygon released).
    static bool SomethingSelected();

    MainDialogCPP* dialog;
};
