#pragma once
// Many links made in one go, as the link command makes one: each element's record is read once,
// a task is added in its first free slot, an element already linked to the task is left alone,
// and every changed record is written once at the end (a locked element is unlocked for the
// write and locked again). Links are only ever added, never removed.
#include <cstddef>
#include <cstdint>
#include <map>

#include "API/ApiTypes.h"
#include "Elements/ModelFacts.h"
#include "Elements/OwnData.h"

class ElementHider;

class LinkBatch {
public:
    enum Outcome {
        Linked,         // the task went into a free slot
        AlreadyLinked,  // the element had the task
        Full,           // all ten slots are taken: not linked
        NotUsable,      // on a hidden or locked layer, or not this user's: left as it is
        Unreadable,     // its record is of a kind this add-on does not read: left as it is
    };

    explicit LinkBatch(ElementHider& hider) : hider_(hider) {}

    Outcome Add(const ElementFacts& element, int32_t taskId);
    // The element's task IDs as they stand in the batch (read from the model on first use).
    const OwnData* Record(const ElementFacts& element);
    // Writes every record that changed; returns how many could not be written (they keep what
    // they had).
    size_t Write();
    size_t ChangedElements() const;

private:
    struct Entry {
        API_ElemTypeID type = 0;
        OwnData data;
        bool readable = true;
        bool changed = false;
    };
    Entry& EntryOf(const ElementFacts& element);

    ElementHider& hider_;
    std::map<API_Guid, Entry> entries_;
};
