#include <algorithm>

#include "KX/EventObserver.h"
#include "KX/EventSource.h"

namespace KX {

EventObserver::~EventObserver() {
    while (!sources_.empty()) sources_.back()->Detach(*this);
}

void EventObserver::SourceDestroyed(EventSource*) {}

bool EventObserver::IsAttachedTo(const EventSource& source) const {
    return std::find(sources_.begin(), sources_.end(), &source) != sources_.end();
}

}  // namespace KX
