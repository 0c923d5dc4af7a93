#pragma once
// The menu command "Open Schedule from Model": one of the model's work schedules becomes the
// schedule, and every task's elements (those it makes and those it works on) are linked to it by
// the linking operation, in one undo step.
#include <vector>

#include "Schedule/ModelPlan.h"

class DB;

class ScheduleFromModel {
public:
    explicit ScheduleFromModel(DB& db);
    // Reads the model's plan, lets the user choose a work schedule when there are several, and
    // makes it the schedule (offering to save a changed one first) through ScheduleUpdate: when
    // the open schedule shares task IDs with it, it is updated in place (those tasks keep their
    // links) once the user agrees. Then every task's elements are linked to it. True when the
    // schedule changed; false, with the schedule and the links as they were, when the user
    // cancels or the model has no work schedule with a task that can be taken.
    bool Open();

private:
    // Selects each task's elements and links them to it, all in one undo step; the user's
    // selection is put back afterwards.
    void LinkElements(const std::vector<ModelPlan::Taken>& taken);

    DB& db;
};
