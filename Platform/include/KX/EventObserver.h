#pragma once
// Something that listens to event sources. It remembers every source it is attached to, so that a
// source that goes away, or the observer going away first, never leaves a dangling link behind.
#include <vector>

namespace KX {

class EventSource;

class EventObserver {
public:
    EventObserver() = default;
    virtual ~EventObserver();
    EventObserver(const EventObserver&) = delete;
    EventObserver& operator=(const EventObserver&) = delete;

    // Called once when a source this observer is attached to is being destroyed; the source is
    // still whole during the call and the observer is detached from it afterwards.
    virtual void SourceDestroyed(EventSource* source);

    bool IsAttachedTo(const EventSource& source) const;

private:
    friend class EventSource;
    std::vector<EventSource*> sources_;
};

}  // namespace KX
