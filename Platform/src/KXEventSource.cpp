#include <algorithm>

#include "KX/EventObserver.h"
#include "KX/EventSource.h"

namespace KX {

EventSource::~EventSource() { AnnounceDestruction(); }

void EventSource::Attach(EventObserver& observer) {
    if (HasObserver(observer)) return;
    observers_.push_back(&observer);
    observer.sources_.push_back(this);
}

void EventSource::Detach(EventObserver& observer) {
    std::erase(observers_, &observer);
    std::erase(observer.sources_, this);
}

bool EventSource::HasObserver(const EventObserver& observer) const {
    return std::find(observers_.begin(), observers_.end(), &observer) != observers_.end();
}

void EventSource::AnnounceDestruction() {
    if (announced_) return;
    announced_ = true;
    while (!observers_.empty()) {
        EventObserver* o = observers_.front();
        o->SourceDestroyed(this);
        // The observer may have detached itself (or been destroyed) in the call.
        if (!observers_.empty() && observers_.front() == o) Detach(*o);
    }
}

}  // namespace KX
