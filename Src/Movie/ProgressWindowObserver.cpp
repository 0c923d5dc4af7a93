#include "Movie/ProgressWindowObserver.h"

#include "Movie/ProgressWindow.h"

ProgressWindowObserver::ProgressWindowObserver(ProgressWindow* window_) : window(window_) {
    if (window == nullptr) return;
    windowSource = window;
    window->Attach(*this);
    AttachToAllItems(*window);
}

ProgressWindowObserver::~ProgressWindowObserver() {
    if (window == nullptr) return;
    window->Detach(*this);
    DetachFromAllItems(*window);
}

void ProgressWindowObserver::SourceDestroyed(KX::EventSource* source) {
    if (window != nullptr && source == windowSource) {
        MarkAsDisposable();
        window = nullptr;
    }
}

// The window closes only when the movie is over.
void ProgressWindowObserver::PanelCloseRequested(const DG::PanelCloseRequestEvent&, bool*) {}

void ProgressWindowObserver::ButtonClicked(const DG::ButtonClickEvent& event) {
    if (window != nullptr && event.GetSource() == &window->cancelButton) window->canceled = true;
}
