#pragma once
// Takes a task list from outside (a Microsoft Project or P6 file, a model's work schedule) as the
// schedule, as the weekly update of a contractor's schedule needs it: element links refer to tasks
// by unique ID, so a task that keeps its ID keeps its links.
//
//   - None of the incoming IDs is in the open schedule: the incoming tasks simply become the
//     schedule (a schedule opened anew).
//   - Some are: the user is asked whether to update (alert, first button "Update"). The tasks of
//     the same ID take the incoming name, type and dates and keep their links; new tasks are
//     added; when tasks of the open schedule are not in the incoming list, a second alert says how
//     many will be removed, and on yes they are removed and their links taken off every element
//     (one undo step), the elements put back as they were. The incoming order becomes the list
//     order. Any other answer to either alert leaves schedule and model as they were.
//
// The caller reads and checks the list first (IDs 1 and up, each once: ImportedSchedule does
// that) and afterwards records where the schedule came from (DB::Load: path, kind, unmodified).
#include <vector>

#include "Schedule/TASK.h"

class DB;

class ScheduleUpdate {
public:
    enum Outcome { Opened, Updated, Declined };

    // Makes `incoming` the schedule of db as described above; sourceName names the incoming
    // schedule in the alerts.
    static Outcome Apply(DB& db, std::vector<TASK> incoming, const char* sourceName);
};
