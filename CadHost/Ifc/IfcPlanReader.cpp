#include "Ifc/IfcPlanReader.h"

#include <ifcpp/IFC4/include/IfcDateTime.h>
#include <ifcpp/IFC4/include/IfcDuration.h>
#include <ifcpp/IFC4/include/IfcGloballyUniqueId.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcRelAggregates.h>
#include <ifcpp/IFC4/include/IfcRelAssignsToControl.h>
#include <ifcpp/IFC4/include/IfcRelAssignsToProcess.h>
#include <ifcpp/IFC4/include/IfcRelAssignsToProduct.h>
#include <ifcpp/IFC4/include/IfcRelNests.h>
#include <ifcpp/IFC4/include/IfcTask.h>
#include <ifcpp/IFC4/include/IfcTaskTime.h>
#include <ifcpp/IFC4/include/IfcTaskTypeEnum.h>
#include <ifcpp/IFC4/include/IfcText.h>
#include <ifcpp/IFC4/include/IfcWorkSchedule.h>
#include <ifcpp/model/BuildingModel.h>

#include <algorithm>
#include <map>
#include <set>

#include "Ifc/IsoTime.h"
#include "UnicodeText.h"

namespace CadHost {
namespace {

std::string Utf8(const std::wstring& text) {
    static_assert(sizeof(wchar_t) == sizeof(char32_t), "IFC++ texts are UTF-32 here");
    return UnicodeText::CodePointsToUtf8(std::u32string(text.begin(), text.end()));
}

template <typename T>
std::string TextOf(const shared_ptr<T>& value) {
    return value ? Utf8(value->m_value) : std::string();
}

std::string GlobalIdOf(const shared_ptr<IfcRoot>& object) {
    return object && object->m_GlobalId ? Utf8(object->m_GlobalId->m_value) : std::string();
}

const char* TypeName(const shared_ptr<IfcTaskTypeEnum>& type) {
    if (!type) return "";
    switch (type->m_enum) {
        case IfcTaskTypeEnum::ENUM_ATTENDANCE:
            return "ATTENDANCE";
        case IfcTaskTypeEnum::ENUM_CONSTRUCTION:
            return "CONSTRUCTION";
        case IfcTaskTypeEnum::ENUM_DEMOLITION:
            return "DEMOLITION";
        case IfcTaskTypeEnum::ENUM_DISMANTLE:
            return "DISMANTLE";
        case IfcTaskTypeEnum::ENUM_DISPOSAL:
            return "DISPOSAL";
        case IfcTaskTypeEnum::ENUM_INSTALLATION:
            return "INSTALLATION";
        case IfcTaskTypeEnum::ENUM_LOGISTIC:
            return "LOGISTIC";
        case IfcTaskTypeEnum::ENUM_MAINTENANCE:
            return "MAINTENANCE";
        case IfcTaskTypeEnum::ENUM_MOVE:
            return "MOVE";
        case IfcTaskTypeEnum::ENUM_OPERATION:
            return "OPERATION";
        case IfcTaskTypeEnum::ENUM_REMOVAL:
            return "REMOVAL";
        case IfcTaskTypeEnum::ENUM_RENOVATION:
            return "RENOVATION";
        case IfcTaskTypeEnum::ENUM_USERDEFINED:
            return "USERDEFINED";
        default:
            return "NOTDEFINED";
    }
}

void AddOnce(std::vector<std::string>& list, const std::string& id) {
    if (!id.empty() && std::find(list.begin(), list.end(), id) == list.end()) list.push_back(id);
}

// The dates of a task: start and finish as given, or one of them and the duration.
void ReadDates(const IfcTask& task, PlanTask& out) {
    const shared_ptr<IfcTaskTime>& time = task.m_TaskTime;
    bool hasStart = false, hasFinish = false;
    auto date = [&](const shared_ptr<IfcDateTime>& value, PlanDateTime& into, bool& has) {
        if (!value) return;
        const std::string text = Utf8(value->m_value);
        if (IsoTime::ParseDateTime(text, into)) {
            has = true;
        } else {
            out.problems |= PlanProblem::BadDate;
            out.badText = text;
        }
    };
    std::string duration;
    if (time) {
        date(time->m_ScheduleStart, out.start, hasStart);
        date(time->m_ScheduleFinish, out.finish, hasFinish);
        if (time->m_ScheduleDuration) duration = Utf8(time->m_ScheduleDuration->m_value);
    }
    if (hasStart != hasFinish && !duration.empty()) {
        const bool fromStart = hasStart;
        if (IsoTime::AddDuration(fromStart ? out.start : out.finish, duration,
                                 fromStart ? out.finish : out.start, !fromStart)) {
            hasStart = hasFinish = true;
        } else if ((out.problems & PlanProblem::BadDate) == 0) {
            out.problems |= PlanProblem::BadDuration;
            out.badText = duration;
        }
    }
    if (!hasStart || !hasFinish) {
        // A date or duration that did not read has said why already.
        if ((out.problems & (PlanProblem::BadDate | PlanProblem::BadDuration)) == 0)
            out.problems |= PlanProblem::NoDates;
        out.start = out.finish = PlanDateTime{};
        return;
    }
    if (out.finish < out.start) {
        out.problems |= PlanProblem::FinishBeforeStart;
        return;
    }
    out.hasDates = true;
}

class PlanBuilder {
public:
    explicit PlanBuilder(const BuildingModel& model) {
        // The relations, each in the order of the file.
        for (const auto& [id, entity] : model.getMapIfcEntities()) {
            if (auto nests = dynamic_pointer_cast<IfcRelNests>(entity)) {
                auto parent = dynamic_pointer_cast<IfcTask>(nests->m_RelatingObject);
                if (!parent) continue;
                for (const auto& child : nests->m_RelatedObjects)
                    if (auto task = dynamic_pointer_cast<IfcTask>(child)) {
                        children_[parent.get()].push_back(task);
                        nested_.insert(task.get());
                    }
            } else if (auto control = dynamic_pointer_cast<IfcRelAssignsToControl>(entity)) {
                auto schedule = dynamic_pointer_cast<IfcWorkSchedule>(control->m_RelatingControl);
                if (!schedule) continue;
                for (const auto& object : control->m_RelatedObjects)
                    if (auto task = dynamic_pointer_cast<IfcTask>(object))
                        controlled_[schedule.get()].push_back(task);
            } else if (auto toProduct = dynamic_pointer_cast<IfcRelAssignsToProduct>(entity)) {
                auto relating = dynamic_pointer_cast<IfcProduct>(toProduct->m_RelatingProduct);
                if (relating) assigned_.push_back(relating);
                const std::string product = GlobalIdOf(relating);
                for (const auto& object : toProduct->m_RelatedObjects)
                    if (auto task = dynamic_pointer_cast<IfcTask>(object))
                        AddOnce(outputs_[task.get()], product);
            } else if (auto toProcess = dynamic_pointer_cast<IfcRelAssignsToProcess>(entity)) {
                auto task = dynamic_pointer_cast<IfcTask>(toProcess->m_RelatingProcess);
                if (!task) continue;
                for (const auto& object : toProcess->m_RelatedObjects)
                    if (auto product = dynamic_pointer_cast<IfcProduct>(object)) {
                        assigned_.push_back(product);
                        AddOnce(inputs_[task.get()], GlobalIdOf(product));
                    }
            } else if (auto schedule = dynamic_pointer_cast<IfcWorkSchedule>(entity)) {
                schedules_.push_back(schedule);
            }
        }
    }

    WorkPlan Build() {
        WorkPlan plan;
        // The wholes of the assigned parts, up to the top.
        for (const shared_ptr<IfcProduct>& product : assigned_) {
            shared_ptr<IfcObjectDefinition> part = product;
            for (int depth = 0; part && depth < 16; ++depth) {
                shared_ptr<IfcObjectDefinition> whole;
                for (const auto& weak : part->m_Decomposes_inverse)
                    if (auto rel = weak.lock(); rel && rel->m_RelatingObject)
                        whole = rel->m_RelatingObject;
                if (!dynamic_pointer_cast<IfcProduct>(whole)) break;
                const std::string partId = GlobalIdOf(part), wholeId = GlobalIdOf(whole);
                if (partId.empty() || wholeId.empty() ||
                    !plan.wholeOf.emplace(partId, wholeId).second)
                    break;
                part = whole;
            }
        }
        for (const auto& schedule : schedules_) {
            PlanSchedule& s = plan.schedules.emplace_back();
            s.globalId = GlobalIdOf(schedule);
            s.name = TextOf(schedule->m_Name);
            if (s.name.empty()) s.name = "Work schedule " + s.globalId;
            taken_.clear();
            const auto& roots = controlled_[schedule.get()];
            // The tasks at the top first; then those that lie only in a loop of nestings, or
            // under a task of no schedule, as tops of their own.
            for (const auto& task : roots)
                if (nested_.count(task.get()) == 0) Visit(task, -1, s);
            for (const auto& task : roots)
                if (taken_.count(task.get()) == 0) Visit(task, -1, s);
        }
        return plan;
    }

private:
    void Visit(const shared_ptr<IfcTask>& task, int32_t parent, PlanSchedule& s) {
        taken_.insert(task.get());
        onPath_.insert(task.get());
        const auto index = static_cast<int32_t>(s.tasks.size());
        {
            PlanTask& t = s.tasks.emplace_back();
            t.globalId = GlobalIdOf(task);
            t.name = TextOf(task->m_Name);
            t.description = TextOf(task->m_Description);
            t.predefinedType = TypeName(task->m_PredefinedType);
            t.parent = parent;
            ReadDates(*task, t);
            t.outputs = outputs_[task.get()];
            t.inputs = inputs_[task.get()];
        }
        for (const auto& child : children_[task.get()]) {
            if (onPath_.count(child.get()) != 0) {
                s.tasks[static_cast<size_t>(index)].problems |= PlanProblem::NestingCycle;
                continue;
            }
            // A task nested in two others is taken under the first.
            s.tasks[static_cast<size_t>(index)].summary = true;
            if (taken_.count(child.get()) == 0) Visit(child, index, s);
        }
        onPath_.erase(task.get());
    }

    std::vector<shared_ptr<IfcWorkSchedule>> schedules_;
    std::vector<shared_ptr<IfcProduct>> assigned_;
    std::map<const IfcTask*, std::vector<shared_ptr<IfcTask>>> children_;
    std::map<const IfcWorkSchedule*, std::vector<shared_ptr<IfcTask>>> controlled_;
    std::map<const IfcTask*, std::vector<std::string>> outputs_, inputs_;
    std::set<const IfcTask*> nested_, taken_, onPath_;
};

}  // namespace

WorkPlan IfcPlanReader::Read(const BuildingModel& model) { return PlanBuilder(model).Build(); }

}  // namespace CadHost
