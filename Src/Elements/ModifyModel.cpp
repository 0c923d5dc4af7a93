#include "Elements/ModifyModel.h"

#include <cstring>

#include "API/Elements.h"
#include "Elements/EElementHider.h"
#include "Elements/ElementHider.h"
#include "Elements/ElementList.h"
#include "Elements/MassChange.h"
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

}  // namespace

ModifyModel::ModifyModel(ElementHider& hider_, DB& db_) : hider(hider_), db(db_) {}

void ModifyModel::ShowBuiltElements(bool keepGuid) {
    SwitchDatabase floorPlan;
    HiddenLayerShown hiddenLayer(hider);
    MassChange bracket;
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
            try {
                hider.Hide(db, type, guid, keepGuid, hiddenLayer.Index());
            } catch (const EElementHider&) {
                // This element stays as it was; the others are shown.
            } catch (const ETaskNotFound&) {
                return;  // the user was asked about the missing task; the showing ends here
            }
        }
    }
}

void ShowModelAtCurrentDate(DB& db, ElementHider& hider, const char* undoTitle) {
    ShowingScope showing(hider, db);
    hider.BeforeFrame();
    if (db.IsModified()) hider.InitElemStateContainer(db, ElementHider::kNoTaskState);
    {
        UndoStep step(undoTitle);
        ModifyModel(hider, db).ShowBuiltElements(false);
    }
    hider.AfterFrame();
    showing.Finish();
}

void ShowWholeModel(DB& db, ElementHider& hider, const char* undoTitle) {
    VTAPI_Element_Select(nullptr, 0, false);
    ShowingScope showing(hider, db);
    {
        UndoStep step(undoTitle);
        hider.ShowAllElements(db);
    }
    showing.Finish();
}
