// The selector through which add-ons read the construction plan of the open project: its work
// schedules, their tasks and each task's elements, as flat records in three handles.
#include <cstring>
#include <string>
#include <vector>

#include "API/Selectors.h"
#include "API/WorkPlan.h"
#include "BM.h"
#include "CH.h"
#include "Ifc/IfcGuid.h"
#include "Model/Project.h"
#include "Registry.h"

namespace CadHost {
namespace {

template <size_t N>
void Copy(char (&into)[N], const std::string& text) {
    CHTruncate(text.c_str(), into, N);
}

KXTimeRecord Record(const PlanDateTime& t) {
    KXTimeRecord r{};
    r.year = static_cast<uint16_t>(t.year);
    r.month = static_cast<uint16_t>(t.month);
    r.day = static_cast<uint16_t>(t.day);
    r.hour = static_cast<uint16_t>(t.hour);
    r.minute = static_cast<uint16_t>(t.minute);
    r.second = static_cast<uint16_t>(t.second);
    return r;
}

template <typename T>
GSHandle HandleOf(const std::vector<T>& records) {
    const size_t bytes = records.size() * sizeof(T);
    if (bytes > static_cast<size_t>(INT32_MAX)) return nullptr;
    GSHandle h = BMAllocateHandle(static_cast<int32_t>(bytes), 0, 0);
    if (h != nullptr && bytes != 0) std::memcpy(*h, records.data(), bytes);
    return h;
}

GSErrCode GetWorkPlan(void* par1, void*) {
    if (par1 == nullptr) return ApiErr::BadParameter;
    auto* out = static_cast<API_WorkPlan*>(par1);
    std::memset(out, 0, sizeof(*out));
    const Project& project = CurrentProject();
    std::vector<API_PlanSchedule> schedules;
    std::vector<API_PlanTask> tasks;
    std::vector<API_PlanAssignment> assignments;
    for (const PlanSchedule& s : project.plan.schedules) {
        API_PlanSchedule rs{};
        Copy(rs.globalId, s.globalId);
        Copy(rs.name, s.name);
        rs.firstTask = static_cast<int32_t>(tasks.size());
        rs.taskCount = static_cast<int32_t>(s.tasks.size());
        for (const PlanTask& t : s.tasks) {
            API_PlanTask rt{};
            Copy(rt.globalId, t.globalId);
            Copy(rt.name, t.name);
            Copy(rt.description, t.description);
            Copy(rt.predefinedType, t.predefinedType);
            Copy(rt.badText, t.badText);
            rt.schedule = static_cast<int32_t>(schedules.size());
            rt.parent = t.parent >= 0 ? rs.firstTask + t.parent : -1;
            rt.summary = t.summary ? 1 : 0;
            rt.hasDates = t.hasDates ? 1 : 0;
            rt.problems = static_cast<int32_t>(t.problems);
            rt.start = Record(t.start);
            rt.finish = Record(t.finish);
            rt.firstAssignment = static_cast<int32_t>(assignments.size());
            for (auto [list, role] : {std::pair{&t.outputs, APIPlanRole::Output},
                                      std::pair{&t.inputs, APIPlanRole::Input}})
                for (const std::string& id : *list) {
                    API_PlanAssignment ra{};
                    if (!IfcGuid::Decode(id, ra.guid)) ra.guid = API_Guid{};
                    Copy(ra.globalId, id);
                    ra.task = static_cast<int32_t>(tasks.size());
                    ra.role = role;
                    ra.inModel = !ra.guid.IsNull() && project.Find(ra.guid) != nullptr ? 1 : 0;
                    assignments.push_back(ra);
                }
            rt.assignmentCount = static_cast<int32_t>(assignments.size()) - rt.firstAssignment;
            tasks.push_back(rt);
        }
        schedules.push_back(rs);
    }
    GSHandle hs = HandleOf(schedules), ht = HandleOf(tasks), ha = HandleOf(assignments);
    if (hs == nullptr || ht == nullptr || ha == nullptr) {
        BMKillHandle(&hs);
        BMKillHandle(&ht);
        BMKillHandle(&ha);
        return ApiErr::MemoryFull;
    }
    out->scheduleCount = static_cast<int32_t>(schedules.size());
    out->taskCount = static_cast<int32_t>(tasks.size());
    out->assignmentCount = static_cast<int32_t>(assignments.size());
    out->schedules = hs;
    out->tasks = ht;
    out->assignments = ha;
    return ApiErr::NoError;
}

Registrar workPlanSelector([](Registry& r) {
    r.SetSelector(Family::Environment, APISelector::WorkPlan, GetWorkPlan);
});

}  // namespace
}  // namespace CadHost
