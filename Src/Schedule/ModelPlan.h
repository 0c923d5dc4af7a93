#pragma once
// The construction plan the host's model carries (its work schedules), read through the host's
// work-plan selector, and one work schedule of it turned into schedule tasks: its leaf tasks, each
// with a type from its predefined type, its days, a unique ID made from its GlobalId and the
// model elements it makes or works on. What cannot become a task is said, never made up.
#include <cstdint>
#include <string>
#include <vector>

#include "API/WorkPlan.h"
#include "Schedule/TASK.h"

class ModelPlan {
public:
    // A task of the schedule to be, with the elements to link to it.
    struct Taken {
        TASK task;
        std::vector<API_Guid> elements;  // outputs, then inputs, each once, all in the model
    };
    // What a work schedule gives.
    struct Result {
        std::vector<Taken> tasks;          // in the order of the plan
        int32_t summaries = 0;             // summary tasks left out
        std::vector<std::string> reports;  // one line per task or element left out, per cycle
    };

    // The host's plan; false when the host gives none (an error; a model without a plan gives
    // true and no schedule).
    bool Read();

    int32_t ScheduleCount() const { return static_cast<int32_t>(schedules.size()); }
    const API_PlanSchedule& Schedule(int32_t index) const {
        return schedules[static_cast<size_t>(index)];
    }
    // The tasks of one work schedule (index below ScheduleCount()).
    Result Take(int32_t schedule) const;

    // The task type of an IFC task's predefined type (the table in the README).
    static TASKTYPE TypeOf(const char* predefinedType);
    // The unique ID a GlobalId gives: a 31-bit hash (FNV-1a) of its text, 1 or more, so that the
    // same task has the same ID every time the file (or a later version of it) is read.
    static int32_t IdOf(const char* globalId);
    // IDs for tasks in `globalIds`: IdOf each; when two collide, the one of the greater GlobalId
    // (compared as bytes) takes the next free number, so the same set always gives the same IDs.
    static std::vector<int32_t> IdsOf(const std::vector<std::string>& globalIds);
    // A task's first day at 00:00 and its last day at 24:00: a finish at exactly 00:00 after the
    // start ends the day before. False when a date is no date the schedule can hold.
    static bool DaysOf(const KXTimeRecord& start, const KXTimeRecord& finish,
                       CHighTimePersistent& first, CHighTimePersistent& end);

    // Filled by Read; also for tests.
    std::vector<API_PlanSchedule> schedules;
    std::vector<API_PlanTask> tasks;
    std::vector<API_PlanAssignment> assignments;
};
