#include "Schedule/ScheduleFromModel.h"

#include <cstring>
#include <string>

#include "API/Elements.h"
#include "API/Selection.h"
#include "AddOn/DGUtils.h"
#include "AddOn/OneLineText.h"
#include "AddOn/Preferences.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "BM.h"
#include "Dates/CHighTimePersistent.h"
#include "Elements/ElementHider.h"
#include "Host/VTAPI.h"
#include "Schedule/DB.h"
#include "Schedule/ScheduleUpdate.h"
#include "Schedule/WorkScheduleDialog.h"

namespace {

// The model changes between construction and destruction are one undo step named `title`.
class UndoStep {
public:
    explicit UndoStep(const char* title)
        : open(VTAPI_OpenUndoableSession(title) == ApiErr::NoError) {}
    ~UndoStep() {
        if (open) VTAPI_CloseUndoableSession();
    }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    bool open;
};

std::string Text(short list, short index, std::initializer_list<const char*> texts) {
    char format[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(format, list, index);
    return ResUtils::FormatTexts(format, texts);
}

// The selected elements (a marquee's polygon is let go: only elements are put back).
std::vector<API_Neig> SelectedParts() {
    API_SelectionInfo info;
    std::memset(&info, 0, sizeof(info));
    GSHandle neigs = nullptr;
    std::vector<API_Neig> parts;
    if (VTAPI_Selection_Get(&info, &neigs, false) == ApiErr::NoError && neigs != nullptr) {
        const size_t count = size_t(BMGetHandleSize(neigs)) / sizeof(API_Neig);
        parts.resize(count);
        if (count > 0) std::memcpy(parts.data(), *neigs, count * sizeof(API_Neig));
    }
    BMKillHandle(&neigs);
    if (info.typeID == APISel::MarqueePoly || info.typeID == APISel::MarqueeHorBox ||
        info.typeID == APISel::MarqueeRotBox)
        BMKillHandle(&info.marquee.coords);
    return parts;
}

void SelectOnly(const std::vector<API_Neig>& parts) {
    VTAPI_Element_Select(nullptr, 0, false);
    if (!parts.empty())
        VTAPI_Element_Select(parts.data(), static_cast<int32_t>(parts.size()), true);
}

}  // namespace

ScheduleFromModel::ScheduleFromModel(DB& db_) : db(db_) {}

bool ScheduleFromModel::Open() {
    ModelPlan plan;
    if (!plan.Read() || plan.ScheduleCount() == 0) {
        DGUtils::ResAlert(ResId::AlertNoWorkSchedule);
        return false;
    }
    int32_t chosen = 0;
    if (plan.ScheduleCount() > 1) {
        std::vector<std::string> entries;
        for (int32_t i = 0; i < plan.ScheduleCount(); ++i) {
            const std::string count = std::to_string(plan.Schedule(i).taskCount);
            entries.push_back(
                Text(ResId::ModelPlanTexts, 2, {plan.Schedule(i).name, count.c_str()}));
        }
        chosen = WorkScheduleDialog(std::move(entries)).Show();
        if (chosen < 0) return false;
    }
    const ModelPlan::Result result = plan.Take(chosen);
    const std::string scheduleName = OneLineText::Of(plan.Schedule(chosen).name);
    for (const std::string& line : result.reports) VTAPI_WriteReport(line.c_str(), false);
    const std::string taken = std::to_string(result.tasks.size());
    const std::string summaries = std::to_string(result.summaries);
    VTAPI_WriteReport(
        Text(ResId::ModelPlanReports, 1, {scheduleName.c_str(), taken.c_str(), summaries.c_str()})
            .c_str(),
        false);
    if (result.tasks.empty()) {
        DGUtils::ResAlert(ResId::AlertNoTaskInWorkSchedule, scheduleName.c_str());
        return false;
    }

    if (db.IsModified()) {
        const short answer =
            DGUtils::ResAlert(ResId::AlertSaveBeforeOpening, db.prefs.schedulePath);
        if (answer == 1 && !db.Save(false)) return false;
        if (answer == 3) return false;
    }
    // Tasks that keep their IDs (the same model read again, or a later version of it) keep
    // their links; the open schedule is then updated in place, when the user agrees.
    std::vector<TASK> incoming;
    for (const ModelPlan::Taken& t : result.tasks) incoming.push_back(t.task);
    const ScheduleUpdate::Outcome outcome =
        ScheduleUpdate::Apply(db, std::move(incoming), scheduleName.c_str());
    if (outcome == ScheduleUpdate::Declined) return false;
    // A schedule opened anew belongs to no file: untitled, and changed until it is saved.
    if (outcome == ScheduleUpdate::Opened) db.prefs.Reset();
    db.modified = true;
    db.SetCurrentDate(CHighTimePersistent::GetKXPresentTime(), true);
    LinkElements(result.tasks);
    return true;
}

void ScheduleFromModel::LinkElements(const std::vector<ModelPlan::Taken>& taken) {
    const std::vector<API_Neig> before = SelectedParts();
    {
        const std::string title = Text(ResId::ModelPlanTexts, 1, {});
        UndoStep step(title.c_str());
        for (const ModelPlan::Taken& t : taken) {
            if (t.elements.empty()) continue;
            std::vector<API_Neig> parts;
            for (const API_Guid& guid : t.elements) {
                API_Elem_Head head;
                std::memset(&head, 0, sizeof(head));
                head.guid = guid;
                if (VTAPI_Element_GetHeader(&head, 0) != ApiErr::NoError) continue;
                API_Neig part;
                std::memset(&part, 0, sizeof(part));
                part.neigID = ElementHider::TypeIDToNeigID(head.typeID);
                part.guid = guid;
                parts.push_back(part);
            }
            SelectOnly(parts);
            db.LinkSelectionToTask(t.task.uniqueID);
        }
    }
    SelectOnly(before);
}
