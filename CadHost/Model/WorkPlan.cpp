#include "Model/WorkPlan.h"

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
