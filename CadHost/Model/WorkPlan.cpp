#include "Model/WorkPlan.h"

#include <algorithm>
#include <cstdio>

#include "Ifc/IfcGuid.h"
#include "Model/Project.h"

namespace CadHost {

std::string PlanDateTime::Text() const {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return text;
}

bool WorkPlan::InModel(const Project& project, const std::string& globalId) {
    API_Guid guid;
    return IfcGuid::Decode(globalId, guid) && project.Find(guid) != nullptr;
}

void WorkPlan::ResolveParts(const Project& project) {
    for (PlanSchedule& s : schedules)
        for (PlanTask& t : s.tasks)
            for (auto* list : {&t.outputs, &t.inputs}) {
                std::vector<std::string> resolved;
                for (const std::string& id : *list) {
                    std::string whole = id;
                    // Wholes are followed a few levels up, never round a loop.
                    for (int depth = 0; depth < 16 && !InModel(project, whole); ++depth) {
                        auto it = wholeOf.find(whole);
                        if (it == wholeOf.end()) break;
                        whole = it->second;
                    }
                    if (!InModel(project, whole)) whole = id;
                    if (std::find(resolved.begin(), resolved.end(), whole) == resolved.end())
                        resolved.push_back(whole);
                }
                *list = std::move(resolved);
            }
    wholeOf.clear();
}

std::vector<std::string> WorkPlan::Lines(const Project& project) const {
    std::vector<std::string> lines;
    for (const PlanSchedule& s : schedules) {
        size_t summaries = 0, outputs = 0, inputs = 0, missing = 0;
        std::vector<std::string> problems;
        for (const PlanTask& t : s.tasks) {
            summaries += t.summary ? 1 : 0;
            outputs += t.outputs.size();
            inputs += t.inputs.size();
            const std::string task = "  task '" + t.name + "' " + t.globalId;
            // The dates of a summary task are not used: their faults do not matter.
            const uint32_t shown = t.problems & (t.summary ? PlanProblem::NestingCycle : ~0u);
            if (shown & PlanProblem::BadDate)
                problems.push_back(task + ": the date '" + t.badText + "' does not read");
            if (shown & PlanProblem::BadDuration)
                problems.push_back(task + ": the duration '" + t.badText + "' does not read");
            if (shown & PlanProblem::NoDates) problems.push_back(task + ": no start and finish");
            if (shown & PlanProblem::FinishBeforeStart)
                problems.push_back(task + ": finishes (" + t.finish.Text() +
                                   ") before it starts (" + t.start.Text() + ")");
            if (shown & PlanProblem::NestingCycle)
                problems.push_back(
                    task + ": a task nested in it also contains it; that nesting is left out");
            for (const auto* list : {&t.outputs, &t.inputs})
                for (const std::string& id : *list)
                    if (!InModel(project, id)) {
                        ++missing;
                        problems.push_back(task + ": element " + id + " is not in the model");
                    }
        }
        lines.push_back("work schedule '" + s.name + "': " + std::to_string(s.tasks.size()) +
                        " tasks (" + std::to_string(summaries) + " summary), " +
                        std::to_string(outputs + inputs) + " assignments (" +
                        std::to_string(outputs) + " outputs, " + std::to_string(inputs) +
                        " inputs), " + std::to_string(missing) + " elements not in the model");
        lines.insert(lines.end(), problems.begin(), problems.end());
    }
    return lines;
}

}  // namespace CadHost
