#pragma once
// Receives the progress window's events: a click on Cancel sets the window's flag, a request to
// close the window is turned down.
#include "DG/Observers.h"
#include "KX/DisposableObject.h"

class ProgressWindow;

class ProgressWindowObserver : public DG::PanelObserver,
                               public DG::CompoundItemObserver,
                               public DG::ButtonItemObserver,
                               public KX::DisposableObject {
public:
    // Attaches to the window and all its items (nothing when window is null).
    explicit ProgressWindowObserver(ProgressWindow* window);
    ~ProgressWindowObserver() override;

    void SourceDestroyed(KX::EventSource* source) override;
    void PanelCloseRequested(const DG::PanelCloseRequestEvent& event, bool* accepted) override;
    void ButtonClicked(const DG::ButtonClickEvent& event) override;

    ProgressWindow* window;

private:
    // The window as the event source it is, to know it again while it is being destroyed.
    KX::EventSource* windowSource = nullptr;
};
