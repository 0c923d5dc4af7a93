#pragma once
// The order of two tasks by one of the palette's five columns, every tie broken by the unique ID,
// ascending or descending. Also the start order in which an element's tasks are checked against
// each other.
#include <cstdint>

#include "Schedule/TASK.h"

using DGListViewSortOrder = int32_t;  // 0 ascending, anything else descending

class TaskLess {
public:
    enum SortKey : int32_t { ByName = 0, ByType = 1, ByPercent = 2, ByStart = 3, ByEnd = 4 };

    // typeNames: the display names of the five task types (the palette's), indexed by type;
    // needed only for ByType. A type without a name compares as an empty name.
    TaskLess(DGListViewSortOrder order, SortKey key, const char* const* typeNames = nullptr);
    // The key of the palette's column header item 17..21; any other item sorts by name and is
    // reported as a program error.
    TaskLess(DGListViewSortOrder order, int16_t headerItemId, const char* const* typeNames = nullptr);

    bool operator()(const TASK& a, const TASK& b) const;

    SortKey Key() const { return key; }

private:
    bool Ascending(const TASK& a, const TASK& b) const;
    const char* TypeName(TASKTYPE type) const;

    DGListViewSortOrder order;
    SortKey key;
    const char* const* typeNames;
};
