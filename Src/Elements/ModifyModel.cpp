#include "Elements/ModifyModel.h"

#include <cstring>

#include "API/Elements.h"
#include "API/Selectors.h"
#include "Elements/EElementHider.h"
#include "Elements/ElementHider.h"
#include "Elements/ElementList.h"
#include "Elements/MassChange.h"
#include "Elements/ReportTap.h"
#include "Elements/ShowingScope.h"
#include "Elements/SwitchDatabase.h"
#include "Host/VTAPI.h"
#include "Schedule/DB.h"
#include "Schedule/ETaskNotFound.h"

namespace {

// One host undo step around the changes made in its lifetime, closed on every way out.
class UndoStep {
public:
    explicit UndoStep(const char* title)
        : open(VTAPI_OpenUndoableSession(title != nullptr ? title : "") == ApiErr::NoError) {}
    ~UndoStep() {
        if (open) VTAPI_CloseUndoableSession();
    }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    bool open;
};

// The hidden layer is shown while elements move onto it and hidden again on every way out.
class HiddenLayerShown {
public:
    explicit HiddenLayerShown(const ElementHider& hider_)
        : hider(hider_), index(hider.ShowPWLayer(true)) {}
    ~HiddenLayerShown() { hider.ShowPWLayer(false); }
    HiddenLayerShown(const HiddenLayerShown&) = delete;
    HiddenLayerShown& operator=(const HiddenLayerShown&) = delete;
    int16_t Index() const { return index; }

private:
    const ElementHider& hider;
    int16_t index;
};

// One element handed to Hide, with what the showing memory keeps of it.
ShowingMemory::Outcome Treat(ElementHider& hider, DB& db, API_ElemTypeID type, const API_Guid& guid,
                             bool keepGuid, int16_t hiddenLayer) {
    ShowingMemory::Outcome outcome;
    ReportTap tap;
    const int32_t problemsBefore = hider.problemCount;
    try {
        hider.Hide(db, type, guid, keepGuid, hiddenLayer, &outcome.note);
    } catch (const EElementHider&) {
        outcome.failed = true;  // this element stays as it was; the others are shown
    } catch (const ETaskNotFound&) {
        outcome.endedWalk = true;  // the user was asked about the missing task
    }
    outcome.problems = hider.problemCount - problemsBefore;
    outcome.lines = std::move(tap.lines);
    return outcome;
}

// The host's model stamp; false when the host keeps none.
bool ReadModelStamp(uint64_t& stamp) {
    stamp = 0;
    return VTAPI_Environment(APISelector::ModelStamp, &stamp, nullptr) == ApiErr::NoError &&
           stamp != 0;
}

}  // namespace

ModifyModel::ModifyModel(ElementHider& hider_, DB& db_) : hider(hider_), db(db_) {}

void ModifyModel::ShowBuiltElements(bool keepGuid) {
    SwitchDatabase floorPlan;
    HiddenLayerShown hiddenLayer(hider);
    MassChange bracket;
    hider.trustedStamp = 0;  // only the palette's showing, ended the normal way, vouches for it
    ShowingMemory& memory = hider.memory;
    memory.BeginPass(db, hider);
    for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type) {
        if (!ElementHider::IsTypeHandledByPW(type)) continue;  // Hide would pass them over
        for (const API_Guid& guid : ElementList(type)) {
            if (db.userID != 0) {
                API_Element element;
                std::memset(&element, 0, sizeof(element));
                element.header.typeID = type;
                element.header.guid = guid;
                if (VTAPI_Element_Get(&element, 0) != ApiErr::NoError ||
                    element.header.userId != db.userID)
                    continue;
            }
            ShowingMemory::Outcome outcome =
                Treat(hider, db, type, guid, keepGuid, hiddenLayer.Index());
            const bool ended = outcome.endedWalk;
            memory.Remember(type, guid, std::move(outcome));
            if (ended) {
                memory.EndPass(db);
                return;
            }
        }
    }
    memory.EndPass(db);
}

void ModifyModel::ShowChangedElements(bool keepGuid) {
    SwitchDatabase floorPlan;
    HiddenLayerShown hiddenLayer(hider);
    MassChange bracket;
    hider.trustedStamp = 0;
    hider.problemCount += hider.memory.Replay(db, [&](API_ElemTypeID type, const API_Guid& guid) {
        return Treat(hider, db, type, guid, keepGuid, hiddenLayer.Index());
    });
}

void ShowModelAtCurrentDate(DB& db, ElementHider& hider, const char* undoTitle) {
    // The states the hider knows and its memory of the last showing describe the model only
    // while nobody else changed it since: an undo or redo, the user's edits, links made or
    // removed, another project all move the host's stamp. A host that keeps no stamp cannot say,
    // so every linked element is treated again then.
    uint64_t stamp = 0;
    const bool stamped = ReadModelStamp(stamp);
    const bool untouched = stamped && stamp == hider.trustedStamp;
    hider.trustedStamp = 0;  // until this showing has ended the normal way

    ShowingScope showing(hider, db);
    hider.BeforeFrame();
    if (db.IsModified())
        hider.InitElemStateContainer(db, ElementHider::kNoTaskState);
    else if (!untouched)
        hider.ForgetElemStates();
    {
        UndoStep step(undoTitle);
        ModifyModel changer(hider, db);
        if (untouched && !db.IsModified() && hider.memory.Fits(db, hider))
            changer.ShowChangedElements(false);
        else
            changer.ShowBuiltElements(false);
    }
    hider.AfterFrame();
    showing.Finish();
    if (stamped && ReadModelStamp(stamp)) hider.trustedStamp = stamp;
}

void ShowWholeModel(DB& db, ElementHider& hider, const char* undoTitle) {
    VTAPI_Element_Select(nullptr, 0, false);
    hider.trustedStamp = 0;
    ShowingScope showing(hider, db);
    {
        UndoStep step(undoTitle);
        hider.ShowAllElements(db);
    }
    showing.Finish();
    // Every element was put back and the states read from the model as it now is.
    uint64_t stamp = 0;
    if (ReadModelStamp(stamp)) hider.trustedStamp = stamp;
}
