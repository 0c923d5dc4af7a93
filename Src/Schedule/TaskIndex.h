#pragma once
// Where each task of the schedule sits, by unique ID, so that the tasks of every linked element
// are found without walking the schedule. The database keeps it up to date when it changes the
// list itself; every answer is checked against the list, and a list changed behind its back
// (sorted in place, assigned whole) is indexed again on the first lookup that notices.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "Schedule/TASK.h"

class TaskIndex {
public:
    // Position of the first task with the ID; -1 when the list holds none.
    int32_t Find(const std::vector<TASK>& tasks, int32_t id) const;

    // The list grew by its last task.
    void Appended(const std::vector<TASK>& tasks);
    // The list changed in a way that moves tasks or changes IDs: index again when next asked.
    void Invalidate() { valid = false; }

private:
    void Rebuild(const std::vector<TASK>& tasks) const;

    mutable std::unordered_map<int32_t, uint32_t> positions;
    mutable bool valid = false;
};
