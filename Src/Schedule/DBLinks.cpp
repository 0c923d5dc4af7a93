// The task database's operations on the links between model elements and tasks: linking the
// selected elements to a task, removing a task from every element, selecting the elements of a
// task, marking the tasks of the selected elements, and naming an element in the report.
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "API/Elements.h"
#include "API/Selection.h"
#include "API/Selectors.h"
#include "AddOn/DGUtils.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "BM.h"
#include "Elements/EElementHider.h"
#include "Elements/ElementHider.h"
#include "Elements/ElementList.h"
#include "Elements/LayerScope.h"
#include "Elements/OwnData.h"
#include "Elements/SwitchDatabase.h"
#include "Elements/SwitchDatabaseAndWindow.h"
#include "Host/VTAPI.h"
#include "Palette/MainDialogCPP.h"
#include "Schedule/DB.h"
#include "Schedule/ETaskNotFound.h"

namespace {

struct ElemList_t {
    API_ElemTypeID type;
    API_Guid guid;
};

// The host's selection as element references; empty when there is none or it cannot be read.
// A marquee's polygon is released at once: only the elements count here.
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

// An element's record; an element without a readable record counts as linked to nothing.
OwnData ReadRecord(ElementHider& hider, API_ElemTypeID type, API_Guid guid) {
    OwnData data;
    try {
        hider.GetData(type, guid, data);
    } catch (const EElementHider&) {
        data = OwnData();
    }
    return data;
}

void RedrawIfAsked(const ElementHider& hider) {
    if (hider.redrawRequested != 0) VTAPI_Automate(APISelector::Redraw, nullptr, nullptr);
}

}  // namespace

void DB::LinkSelectionToTask(long uniqueID) {
    hider.redrawRequested = 0;
    {
        const LayerScope layers(hider, LayerScope::UnlockOnly);
        const std::vector<API_Neig> parts = SelectedParts();
        SwitchDatabaseAndWindow floorPlan;
        std::vector<ElemList_t> work;
        for (const API_Neig& part : parts) {
            // By type only: what the user could select is on a layer in view now, whatever the
            // last showing found hidden.
            const API_ElemTypeID type = ElementHider::NeigIDToTypeID(part.neigID);
            if (type != 0 && ElementHider::IsTypeHandledByPW(type) &&
                VTAPI_Element_Filter(&part.guid, 0, 0))
                work.push_back({type, part.guid});
        }
        bool stop = false;
        for (ElemList_t& element : work) {
            if (stop) break;
            OwnData data = ReadRecord(hider, element.type, element.guid);
            if (uniqueID != 0) {
                int32_t slot = 0;
                bool linked = false;
                for (; slot < OwnData::kMaxLinks; ++slot) {
                    if (data.taskUniqueIDs[slot] == uniqueID) linked = true;
                    if (linked || data.taskUniqueIDs[slot] == 0) break;
                }
                if (!linked) {
                    char typeName[ElementHider::kIdentifierSize];
                    char idText[ElementHider::kIdentifierSize];
                    if (slot >= OwnData::kMaxLinks) {
                        hider.GetElemIdentifier(element.type, element.guid, typeName, idText);
                        DGUtils::ResAlert(ResId::AlertTooManyLinks, typeName, idText, "10");
                        continue;  // nothing stored
                    }
                    bool store = true;
                    if (slot > 0) {
                        hider.GetElemIdentifier(element.type, element.guid, typeName, idText);
                        char count[16];
                        std::snprintf(count, sizeof(count), "%ld", static_cast<long>(slot));
                        const short answer =
                            DGUtils::ResAlert(ResId::AlertLinkFurtherTask, typeName, idText, count);
                        if (answer == 2) store = false;
                        if (answer == 3) {
                            store = false;
                            stop = true;
                        }
                    }
                    if (store) data.taskUniqueIDs[slot] = static_cast<int32_t>(uniqueID);
                    if (!store) continue;
                }
            } else {
                bool any = false;
                for (int32_t& id : data.taskUniqueIDs) {
                    any = any || id != 0;
                    id = 0;
                }
                if (!any) continue;
            }
            try {
                hider.SetData(element.type, &element.guid, data, true);
            } catch (const EElementHider&) {
                // The element keeps its former links; the others go on.
            }
        }
    }
    RedrawIfAsked(hider);
}

void DB::DeleteLinkToSelection(long uniqueID) {
    // IDs that no task can have are in no link slot that counts: nothing to remove.
    std::set<int32_t> ids;
    if (uniqueID != 0 && uniqueID >= INT32_MIN && uniqueID <= INT32_MAX)
        ids.insert(static_cast<int32_t>(uniqueID));
    DeleteLinksToTasks(ids);
}

void DB::DeleteLinksToTasks(const std::set<int32_t>& uniqueIDs) {
    hider.redrawRequested = 0;
    if (uniqueIDs.empty()) return;
    {
        SwitchDatabase floorPlan;
        const LayerScope layers(hider, LayerScope::UnlockAndShowHiddenLayer);
        // Every element of a handled type, on whatever layer, hidden or locked: an ID left behind
        // would pass to the next task that takes it.
        for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type) {
            if (!ElementHider::IsTypeHandledByPW(type)) continue;
            for (API_Guid guid : ElementList(type)) {
                OwnData data = ReadRecord(hider, type, guid);
                bool removed = false;
                for (int32_t slot = 0; slot < OwnData::kMaxLinks; ++slot) {
                    const int32_t id = data.taskUniqueIDs[slot];
                    if (id == 0 || uniqueIDs.count(id) == 0) continue;
                    const int32_t last = data.TaskUniqueIDCount() - 1;
                    data.taskUniqueIDs[slot] = data.taskUniqueIDs[last];
                    data.taskUniqueIDs[last] = 0;
                    removed = true;
                    --slot;  // the moved ID sits here now and is looked at again
                }
                if (!removed) continue;
                try {
                    hider.SetData(type, &guid, data, true);
                    hider.Restore(*this, type, guid);
                } catch (const EElementHider&) {
                    DGUtils::ResAlert(ResId::AlertLinksNotChanged);
                    break;  // the rest of this type is skipped
                }
            }
        }
    }
    RedrawIfAsked(hider);
}

void DB::SelectLinkedElements(long uniqueID) {
    VTAPI_Element_Select(nullptr, 0, false);
    std::vector<API_Neig> chosen;
    {
        SwitchDatabaseAndWindow floorPlan;
        for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type) {
            if (!ElementHider::IsTypeHandledByPW(type)) continue;
            for (const API_Guid& guid : ElementList(type)) {
                API_Elem_Head head;
                std::memset(&head, 0, sizeof(head));
                head.guid = guid;
                if (VTAPI_Element_GetHeader(&head, 0) != ApiErr::NoError) continue;
                if (!VTAPI_Element_Filter(&guid, 6, 0)) continue;
                const OwnData data = ReadRecord(hider, type, guid);
                bool take = false;
                if (uniqueID == -1) {
                    take = data.taskUniqueIDs[0] == 0;
                } else {
                    for (int32_t id : data.taskUniqueIDs) take = take || id == uniqueID;
                }
                if (!take) continue;
                API_Neig neig;
                std::memset(&neig, 0, sizeof(neig));
                neig.neigID = ElementHider::TypeIDToNeigID(type);
                neig.guid = guid;
                chosen.push_back(neig);
            }
        }
    }
    if (!chosen.empty())
        VTAPI_Element_Select(chosen.data(), static_cast<int32_t>(chosen.size()), true);
}

void DB::MarkSelectionLinkedTasks(MainDialogCPP* palette) {
    // A selection that cannot be read is no selection: nothing is marked.
    bool stop = false;
    for (const API_Neig& part : SelectedParts()) {
        if (stop) break;
        API_Guid guid = part.guid;
        const API_ElemTypeID type = ElementHider::NeigIDToTypeID(part.neigID);
        // By type only, as in linking: the selection is on layers in view now.
        if (!ElementHider::IsTypeHandledByPW(type)) continue;
        if (userID != 0) {
            API_Elem_Head head;
            std::memset(&head, 0, sizeof(head));
            head.guid = guid;
            if (VTAPI_Element_GetHeader(&head, 0) != ApiErr::NoError || head.userId != userID)
                continue;
        }
        SwitchDatabaseAndWindow floorPlan;
        if (type == 0 || !VTAPI_Element_Filter(&guid, 0, 0)) {
            UnmarkAllTasks(palette);
            DGUtils::ResAlert(ResId::AlertElementNotUsable);
            return;
        }
        OwnData data = ReadRecord(hider, type, guid);
        bool changed = false;
        for (int32_t slot = 0; slot < OwnData::kMaxLinks && !stop; ++slot) {
            const int32_t id = data.taskUniqueIDs[slot];
            if (id == 0) continue;
            try {
                GetTaskByUniqueID(id).flags |= TASK::kMarked;
                if (palette != nullptr) palette->SetMarkedState(true);
            } catch (const ETaskNotFound&) {
                const short answer = DGUtils::ResAlert(ResId::AlertLinkToMissingTask);
                if (answer == 1) {
                    hider.DeleteOneLinkFromElement(data, slot, type, &guid);
                    changed = true;
                } else if (answer == 3) {
                    stop = true;
                }
            }
        }
        if (changed) {
            data.DefragmentTaskUniqueIDs();
            try {
                hider.SetData(type, &guid, data, true);
            } catch (const EElementHider&) {
                // The link stays removed in the element's last written record.
            }
        }
    }
}

void DB::ReportElementIDAndName(API_ElemTypeID type, API_Guid guid, short list, short index) {
    char format[ResUtils::kStringBufferSize];
    {
        UseOwnResFile own;
        ResUtils::LoadResourceString(format, list, index);
    }
    char typeName[ElementHider::kIdentifierSize];
    char idText[ElementHider::kIdentifierSize];
    hider.GetElemIdentifier(type, guid, typeName, idText);
    VTAPI_WriteReport(ResUtils::FormatTexts(format, {typeName, idText}).c_str(), false);
}
