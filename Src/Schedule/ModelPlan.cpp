#include "Schedule/ModelPlan.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>
#include <set>
#include <tuple>

#include "API/Selectors.h"
#include "AddOn/OneLineText.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "BM.h"
#include "Host/VTAPI.h"

namespace {

template <typename T>
std::vector<T> RecordsOf(GSHandle handle, int32_t count) {
    std::vector<T> records;
    if (handle == nullptr || count <= 0) return records;
    const size_t have = static_cast<size_t>(BMGetHandleSize(handle)) / sizeof(T);
    records.resize(std::min(have, static_cast<size_t>(count)));
    if (!records.empty()) std::memcpy(records.data(), *handle, records.size() * sizeof(T));
    return records;
}

std::string Report(short index, const char* p1, const char* p2 = nullptr) {
    char format[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(format, ResId::ModelPlanReports, index);
    return ResUtils::FormatTexts(format, {p1, p2});
}

bool Midnight(const KXTimeRecord& t) { return t.hour == 0 && t.minute == 0 && t.second == 0; }

}  // namespace

bool ModelPlan::Read() {
    API_WorkPlan plan;
    std::memset(&plan, 0, sizeof(plan));
    const GSErrCode err = VTAPI_Environment(APISelector::WorkPlan, &plan, nullptr);
    schedules = RecordsOf<API_PlanSchedule>(plan.schedules, plan.scheduleCount);
    tasks = RecordsOf<API_PlanTask>(plan.tasks, plan.taskCount);
    assignments = RecordsOf<API_PlanAssignment>(plan.assignments, plan.assignmentCount);
    BMKillHandle(&plan.schedules);
    BMKillHandle(&plan.tasks);
    BMKillHandle(&plan.assignments);
    if (err != ApiErr::NoError) {
        schedules.clear();
        tasks.clear();
        assignments.clear();
        return false;
    }
    // Records that point outside what came are not followed.
    std::erase_if(schedules, [&](const API_PlanSchedule& s) {
        return s.firstTask < 0 || s.taskCount < 0 ||
               static_cast<size_t>(s.firstTask) + static_cast<size_t>(s.taskCount) > tasks.size();
    });
    return true;
}

TASKTYPE ModelPlan::TypeOf(const char* predefinedType) {
    static const std::map<std::string, TASKTYPE, std::less<>> kTypes = {
        {"CONSTRUCTION", Build}, {"INSTALLATION", Build}, {"DEMOLITION", Demolish},
        {"DISMANTLE", Demolish}, {"REMOVAL", Demolish},   {"DISPOSAL", Demolish},
        {"RENOVATION", TypeR},   {"MAINTENANCE", TypeR},  {"MOVE", TypeR},
        {"LOGISTIC", Temporary},
    };
    if (predefinedType == nullptr) return Build;
    const auto it = kTypes.find(std::string_view(predefinedType));
    return it != kTypes.end() ? it->second : Build;
}

int32_t ModelPlan::IdOf(const char* globalId) {
    uint32_t hash = 2166136261u;  // FNV-1a, 32 bits
    for (const char* c = globalId != nullptr ? globalId : ""; *c != '\0'; ++c) {
        hash ^= static_cast<unsigned char>(*c);
        hash *= 16777619u;
    }
    const auto id = static_cast<int32_t>(hash & 0x7FFFFFFFu);
    return id == 0 ? 1 : id;
}

std::vector<int32_t> ModelPlan::IdsOf(const std::vector<std::string>& globalIds) {
    std::vector<size_t> order(globalIds.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return globalIds[a] < globalIds[b]; });
    std::vector<int32_t> ids(globalIds.size());
    std::set<int32_t> used;
    for (size_t i : order) {
        int32_t id = IdOf(globalIds[i].c_str());
        while (!used.insert(id).second) id = id == INT32_MAX ? 1 : id + 1;
        ids[i] = id;
    }
    return ids;
}

bool ModelPlan::DaysOf(const KXTimeRecord& start, const KXTimeRecord& finish,
                       CHighTimePersistent& first, CHighTimePersistent& end) {
    const CHighTime startDay(start.year, start.month, start.day);
    const CHighTime finishDay(finish.year, finish.month, finish.day);
    if (startDay.status != HighTimeStatus::valid || finishDay.status != HighTimeStatus::valid)
        return false;
    first = startDay;
    const bool finishAfterStart =
        std::tie(finish.year, finish.month, finish.day, finish.hour, finish.minute, finish.second) >
        std::tie(start.year, start.month, start.day, start.hour, start.minute, start.second);
    // Ending at 00:00 is ending with the day before; a task that starts and ends at one moment
    // still takes its day.
    end = finishDay;
    if (!(Midnight(finish) && finishAfterStart)) end.SetToMidnight24();
    return end.status == HighTimeStatus::valid;
}

ModelPlan::Result ModelPlan::Take(int32_t schedule) const {
    Result result;
    if (schedule < 0 || schedule >= ScheduleCount()) return result;
    const API_PlanSchedule& s = schedules[static_cast<size_t>(schedule)];
    std::vector<const API_PlanTask*> leaves;
    for (int32_t i = s.firstTask; i < s.firstTask + s.taskCount; ++i) {
        const API_PlanTask& t = tasks[static_cast<size_t>(i)];
        if (t.problems & APIPlanProblem::NestingCycle) result.reports.push_back(Report(6, t.name));
        if (t.summary != 0)
            ++result.summaries;
        else
            leaves.push_back(&t);
    }
    std::vector<std::string> globalIds;
    for (const API_PlanTask* t : leaves) globalIds.emplace_back(t->globalId);
    const std::vector<int32_t> ids = IdsOf(globalIds);

    for (size_t k = 0; k < leaves.size(); ++k) {
        const API_PlanTask& t = *leaves[k];
        if (t.problems & APIPlanProblem::BadDate) {
            result.reports.push_back(Report(5, t.name, t.badText));
            continue;
        }
        if (t.problems & APIPlanProblem::BadDuration) {
            result.reports.push_back(Report(4, t.name, t.badText));
            continue;
        }
        if (t.problems & APIPlanProblem::FinishBeforeStart) {
            result.reports.push_back(Report(3, t.name));
            continue;
        }
        if (t.hasDates == 0) {
            result.reports.push_back(Report(2, t.name));
            continue;
        }
        Taken taken;
        if (!DaysOf(t.start, t.finish, taken.task.start, taken.task.end)) {
            result.reports.push_back(Report(8, t.name));
            continue;
        }
        OneLineText::CopyTo(t.name[0] != '\0' ? t.name : t.globalId, taken.task.name,
                            sizeof(taken.task.name));
        taken.task.uniqueID = ids[k];
        taken.task.type = TypeOf(t.predefinedType);
        const auto first = static_cast<size_t>(std::max(0, t.firstAssignment));
        for (size_t a = first; a < assignments.size() &&
                               a < first + static_cast<size_t>(std::max(0, t.assignmentCount));
             ++a) {
            const API_PlanAssignment& element = assignments[a];
            if (element.inModel == 0) {
                result.reports.push_back(Report(7, t.name, element.globalId));
                continue;
            }
            if (std::find(taken.elements.begin(), taken.elements.end(), element.guid) ==
                taken.elements.end())
                taken.elements.push_back(element.guid);
        }
        result.tasks.push_back(std::move(taken));
    }
    return result;
}
