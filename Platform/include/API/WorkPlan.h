#pragma once
// The construction plan a model carries (its work schedules, their tasks and each task's
// elements), as the host hands it to add-ons through APISelector::WorkPlan. One call fills an
// API_WorkPlan: three handles of flat records that refer to each other by index. The caller kills
// the three handles (BMKillHandle) whatever it does with them.
#include <cstdint>

#include "API/ApiTypes.h"
#include "TI.h"

// What is wrong with a task (bits of API_PlanTask::problems).
namespace APIPlanProblem {
constexpr int32_t NoDates = 1;            // no start and finish could be worked out
constexpr int32_t FinishBeforeStart = 2;  // start and finish are given, the finish first
constexpr int32_t BadDuration = 4;        // the duration text does not read (badText)
constexpr int32_t BadDate = 8;            // a date text does not read (badText)
constexpr int32_t NestingCycle = 16;      // a task nested in this one also contains it
}  // namespace APIPlanProblem

// What an element is to its task.
namespace APIPlanRole {
constexpr int32_t Output = 1;  // the task makes it (IfcRelAssignsToProduct)
constexpr int32_t Input = 2;   // the task works on it, e.g. removes it (IfcRelAssignsToProcess)
}  // namespace APIPlanRole

struct API_PlanSchedule {
    char globalId[24];  // the IFC GlobalId, NUL-terminated
    char name[256];     // UTF-8, cut at a whole character
    int32_t firstTask;  // index of its first task in the tasks handle
    int32_t taskCount;  // its tasks follow one another, each parent before its nested tasks
};

struct API_PlanTask {
    char globalId[24];
    char name[256];
    char description[256];
    char predefinedType[32];  // "CONSTRUCTION", ... ; empty when the file gives none
    char badText[64];         // the text that did not read (BadDuration, BadDate)
    int32_t schedule;         // index in the schedules handle
    int32_t parent;    // index in the tasks handle of the task it is nested in; -1 at the top
    int32_t summary;   // 1 when other tasks are nested in it
    int32_t hasDates;  // 1 when start and finish hold its dates, in order
    int32_t problems;  // APIPlanProblem bits
    int32_t firstAssignment;  // index of its first element in the assignments handle
    int32_t assignmentCount;
    int32_t reserved;
    KXTimeRecord start;   // wall-clock time as the file gives it (dayOfWeek 0)
    KXTimeRecord finish;  // the moment the task ends
};

struct API_PlanAssignment {
    API_Guid guid;      // the element's GUID (the 128 bits of its GlobalId)
    char globalId[24];  // as the file writes it
    int32_t task;       // index in the tasks handle
    int32_t role;       // APIPlanRole
    int32_t inModel;    // 1 when the model holds the element
    int32_t reserved;
};

struct API_WorkPlan {
    int32_t scheduleCount;
    int32_t taskCount;
    int32_t assignmentCount;
    int32_t reserved;
    GSHandle schedules;    // API_PlanSchedule records
    GSHandle tasks;        // API_PlanTask records
    GSHandle assignments;  // API_PlanAssignment records
};
