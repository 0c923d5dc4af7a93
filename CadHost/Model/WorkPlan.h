#pragma once
// The construction plan a model may carry beside its elements: work schedules, each a tree of
// tasks with their dates and the elements each task makes (outputs) or works on (inputs), named
// by the elements' IFC GlobalIds. The project keeps it as the file brought it; add-ons read it
// through the work-plan selector.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace CadHost {

class Project;

// A wall-clock moment of the plan (no time zone), as the file gave it.
struct PlanDateTime {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    auto operator<=>(const PlanDateTime&) const = default;
    // "YYYY-MM-DDThh:mm:ss"
    std::string Text() const;
};

// What is wrong with a task, as bits: each is said once, and a task whose dates are not whole
// has none (nothing is made up for it).
namespace PlanProblem {
constexpr uint32_t NoDates = 1;  // neither start and finish, nor one of them and a duration
constexpr uint32_t FinishBeforeStart = 2;  // the finish lies before the start
constexpr uint32_t BadDuration = 4;        // the duration does not read as an ISO 8601 duration
constexpr uint32_t BadDate = 8;            // a start or finish does not read as a date and time
constexpr uint32_t NestingCycle =
    16;  // a task nested in it also contains it: that nesting is left out
}  // namespace PlanProblem

struct PlanTask {
    std::string globalId, name, description;
    std::string predefinedType;  // the IFC enumeration without dots ("CONSTRUCTION"); may be empty
    int32_t parent = -1;         // index in its schedule's tasks of the task it is nested in
    bool summary = false;        // other tasks are nested in it
    bool hasDates = false;       // start and finish are both known and in order
    PlanDateTime start, finish;
    uint32_t problems = 0;                     // PlanProblem bits
    std::string badText;                       // the duration or date text that did not read
    std::vector<std::string> outputs, inputs;  // GlobalIds of the elements it makes / works on
    bool operator==(const PlanTask&) const = default;
};

struct PlanSchedule {
    std::string globalId, name;
    // Depth first from the tasks the schedule controls, each parent before its nested tasks.
    std::vector<PlanTask> tasks;
    bool operator==(const PlanSchedule&) const = default;
};

class WorkPlan {
public:
    std::vector<PlanSchedule> schedules;
    // While a file is read: the GlobalId of the whole (an IfcRelAggregates) that each assigned
    // part belongs to, for ResolveParts. Not kept with the project.
    std::map<std::string, std::string> wholeOf;

    bool Empty() const { return schedules.empty(); }
    bool operator==(const WorkPlan& other) const { return schedules == other.schedules; }

    // What an import says about the plan: one line per work schedule (its name, "N tasks", the
    // assignments and the elements assigned that the model does not hold), then one line per
    // problem of a task and per missing element.
    std::vector<std::string> Lines(const Project& project) const;
    // An element assigned as a part of a whole that the model holds as one element (a stair's
    // flight, a roof's slab) stands for that element; then wholeOf is let go.
    void ResolveParts(const Project& project);
    // Whether the project holds the element of an IFC GlobalId.
    static bool InModel(const Project& project, const std::string& globalId);
};

}  // namespace CadHost
