#pragma once
// Something that sends events to attached observers. Observers are called in the order they
// were attached; an observer attached twice is called once.
#include <vector>

namespace KX {

class EventObserver;

class EventSource {
public:
    EventSource() = default;
    virtual ~EventSource();
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    void Attach(EventObserver& observer);
    void Detach(EventObserver& observer);
    bool HasObserver(const EventObserver& observer) const;

    // Calls `send` for each attached observer of type T. An observer detached (or destroyed) by
    // an earlier one during the same round is skipped.
    template <typename T, typename F>
    void Notify(F&& send) {
        const std::vector<EventObserver*> round = observers_;
        for (EventObserver* o : round) {
            if (!HasObserver(*o)) continue;
            if (T* t = dynamic_cast<T*>(o)) send(*t);
        }
    }

protected:
    // Tells every observer that this source goes away and detaches them. The destructor does it
    // too; a derived class calls it first in its own destructor when its observers must still see
    // the whole object.
    void AnnounceDestruction();

private:
    friend class EventObserver;
    std::vector<EventObserver*> observers_;
    bool announced_ = false;
};

}  // namespace KX
