#include "Schedule/ScheduleUpdate.h"

#include <set>
#include <string>
#include <unordered_set>

#include "AddOn/DGUtils.h"
#include "AddOn/OneLineText.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "Host/VTAPI.h"
#include "Schedule/DB.h"

namespace {

// The model changes between construction and destruction are one undo step named `title`.
class UndoStep {
public:
    explicit UndoStep(const char* title) { VTAPI_OpenUndoableSession(title); }
    ~UndoStep() { VTAPI_CloseUndoableSession(); }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;
};

}  // namespace

ScheduleUpdate::Outcome ScheduleUpdate::Apply(DB& db, std::vector<TASK> incoming,
                                              const char* sourceName) {
    std::unordered_set<int32_t> incomingIds;
    incomingIds.reserve(incoming.size());
    for (TASK& task : incoming) {
        task.flags = 0;
        incomingIds.insert(task.uniqueID);
    }
    size_t shared = 0;
    std::set<int32_t> gone;
    std::unordered_set<int32_t> openIds;
    openIds.reserve(db.tasks.size());
    for (const TASK& task : db.tasks) {
        openIds.insert(task.uniqueID);
        if (incomingIds.count(task.uniqueID) != 0)
            ++shared;
        else
            gone.insert(task.uniqueID);
    }
    if (shared == 0) {
        db.ReplaceTasks(std::move(incoming));
        return Opened;
    }

    size_t added = 0;
    for (int32_t id : incomingIds) added += openIds.count(id) == 0 ? 1 : 0;
    const std::string name = OneLineText::Of(sourceName != nullptr ? sourceName : "");
    const std::string sharedText = std::to_string(shared), addedText = std::to_string(added);
    if (DGUtils::ResAlert(ResId::AlertUpdateSchedule, name.c_str(), sharedText.c_str(),
                          addedText.c_str()) != 1)
        return Declined;
    const std::string goneText = std::to_string(gone.size());
    if (!gone.empty() &&
        DGUtils::ResAlert(ResId::AlertUpdateRemovesTasks, goneText.c_str(), name.c_str()) != 1)
        return Declined;

    db.ReplaceTasks(std::move(incoming));
    if (!gone.empty()) {
        char title[ResUtils::kStringBufferSize];
        ResUtils::LoadResourceString(title, ResId::ScheduleExchangeTexts, 3);
        const UndoStep step(title);
        db.DeleteLinksToTasks(gone);
    }
    return Updated;
}
