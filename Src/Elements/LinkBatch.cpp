#include "Elements/LinkBatch.h"

#include "Elements/EElementHider.h"
#include "Elements/ElementHider.h"

namespace {
// The code GetData throws with when the element carries no user data at all.
constexpr int32_t kNoUserData = 220;
}  // namespace

LinkBatch::Entry& LinkBatch::EntryOf(const ElementFacts& element) {
    auto [at, added] = entries_.try_emplace(element.guid);
    Entry& entry = at->second;
    if (!added) return entry;
    entry.type = element.type;
    try {
        hider_.GetData(element.type, element.guid, entry.data);
    } catch (const EElementHider& e) {
        // No record yet is an empty one; a record of a version this add-on cannot read is kept
        // as it is rather than written over.
        entry.data = OwnData();
        entry.readable = e.GetCode() == kNoUserData;
    }
    return entry;
}

const OwnData* LinkBatch::Record(const ElementFacts& element) {
    Entry& entry = EntryOf(element);
    return entry.readable ? &entry.data : nullptr;
}

LinkBatch::Outcome LinkBatch::Add(const ElementFacts& element, int32_t taskId) {
    if (!element.usable) return NotUsable;
    Entry& entry = EntryOf(element);
    if (!entry.readable) return Unreadable;
    for (int32_t id : entry.data.taskUniqueIDs)
        if (id == taskId) return AlreadyLinked;
    for (int32_t& id : entry.data.taskUniqueIDs) {
        if (id != 0) continue;
        id = taskId;
        entry.changed = true;
        return Linked;
    }
    return Full;
}

size_t LinkBatch::ChangedElements() const {
    size_t n = 0;
    for (const auto& [guid, entry] : entries_) n += entry.changed ? 1 : 0;
    return n;
}

size_t LinkBatch::Write() {
    size_t failed = 0;
    for (auto& [guid, entry] : entries_) {
        if (!entry.changed) continue;
        API_Guid g = guid;
        try {
            if (!hider_.SetData(entry.type, &g, entry.data, true)) ++failed;
        } catch (const EElementHider&) {
            ++failed;
        }
        entry.changed = false;
    }
    return failed;
}
