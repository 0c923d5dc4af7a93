#include "Schedule/TaskIndex.h"

namespace {

bool Holds(const std::vector<TASK>& tasks, uint32_t position, int32_t id) {
    return position < tasks.size() && tasks[position].uniqueID == id;
}

}  // namespace

void TaskIndex::Rebuild(const std::vector<TASK>& tasks) const {
    positions.clear();
    positions.reserve(tasks.size());
    for (size_t i = 0; i < tasks.size(); ++i)
        positions.emplace(tasks[i].uniqueID, static_cast<uint32_t>(i));  // the first one stays
    valid = true;
}

int32_t TaskIndex::Find(const std::vector<TASK>& tasks, int32_t id) const {
    if (valid) {
        const auto it = positions.find(id);
        // An earlier task with the same ID can only have come with a change made behind our
        // back, which moves or renames some task and so shows as a stale or missing entry.
        if (it != positions.end() && Holds(tasks, it->second, id))
            return static_cast<int32_t>(it->second);
    }
    // Missing or stale: the list may have changed behind our back. Index it again and answer
    // from the fresh index.
    Rebuild(tasks);
    const auto it = positions.find(id);
    return it != positions.end() ? static_cast<int32_t>(it->second) : -1;
}

void TaskIndex::Appended(const std::vector<TASK>& tasks) {
    if (!valid || tasks.empty()) {
        valid = false;
        return;
    }
    positions.emplace(tasks.back().uniqueID, static_cast<uint32_t>(tasks.size() - 1));
}
