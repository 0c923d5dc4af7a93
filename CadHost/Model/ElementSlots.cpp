// The function table's element operations: reading and changing elements, their user data, the
// selection, locking, the tools' defaults and undo steps, all on the current project.
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "API/Elements.h"
#include "API/Selection.h"
#include "BM.h"
#include "Model/ElementAccess.h"
#include "Model/ElementDefaults.h"
#include "Model/ElementRecord.h"
#include "Model/ElementTypes.h"
#include "Model/Project.h"
#include "Registry.h"

namespace CadHost {
namespace {

// The element a header names: by GUID when it has one (its type, when given, must agree), else
// by type and index.
const Element* Locate(const Project& project, const API_Elem_Head& head, GSErrCode& error) {
    const Element* e = nullptr;
    if (!head.guid.IsNull()) {
        e = project.Find(head.guid);
        error = e == nullptr                                   ? ApiErr::BadId
                : (head.typeID != 0 && head.typeID != e->type) ? ApiErr::BadElementType
                                                               : ApiErr::NoError;
    } else if (!ElementTypes::Valid(head.typeID)) {
        error = ApiErr::BadElementType;
    } else {
        e = project.At(head.typeID, head.index);
        error = e == nullptr ? ApiErr::BadIndex : ApiErr::NoError;
    }
    return error == ApiErr::NoError ? e : nullptr;
}

// What stands between a caller and changing an element, in the order the host checks it.
GSErrCode MayChange(const Project& project, const Element& e, bool layerMatters) {
    if (!project.State().OnFloorPlan()) return ApiErr::BadDatabase;
    if (!ElementAccess::MayEdit(e)) return ApiErr::NotEditable;
    if (e.locked) return ApiErr::ElementLocked;
    if (layerMatters && project.LayerLocked(e.layer)) return ApiErr::NotEditable;
    return ApiErr::NoError;
}

// The element a header names, when the caller may change it; null with the reason otherwise.
const Element* LocateChangeable(const Project& project, const API_Elem_Head& head,
                                bool layerMatters, GSErrCode& error) {
    const Element* e = Locate(project, head, error);
    if (e == nullptr) return nullptr;
    error = MayChange(project, *e, layerMatters);
    return error == ApiErr::NoError ? e : nullptr;
}

GSErrCode ElementGet(API_Element* element, uint32_t /*mask*/) {
    if (element == nullptr) return ApiErr::BadParameter;
    GSErrCode error = ApiErr::NoError;
    const Element* e = Locate(CurrentProject(), element->header, error);
    if (e == nullptr) return error;
    ElementRecord::Fill(*e, *element);
    return ApiErr::NoError;
}

GSErrCode ElementGetHeader(API_Elem_Head* header, uint32_t /*mask*/) {
    if (header == nullptr) return ApiErr::BadParameter;
    GSErrCode error = ApiErr::NoError;
    const Element* e = Locate(CurrentProject(), *header, error);
    if (e == nullptr) return error;
    API_Element record;
    ElementRecord::Fill(*e, record);
    *header = record.header;
    return ApiErr::NoError;
}

GSErrCode ElementGetNum(API_ElemTypeID type, int32_t* count) {
    if (count == nullptr) return ApiErr::BadParameter;
    if (!ElementTypes::Valid(type)) return ApiErr::BadElementType;
    *count = static_cast<int32_t>(CurrentProject().ElementsOfType(type).size());
    return ApiErr::NoError;
}

GSErrCode ElementGetElemList(API_ElemTypeID type, GSHandle* guids) {
    if (guids == nullptr) return ApiErr::BadParameter;
    *guids = nullptr;
    if (!ElementTypes::Valid(type)) return ApiErr::BadElementType;
    const std::vector<Element>& list = CurrentProject().ElementsOfType(type);
    GSHandle h = BMAllocateHandle(static_cast<int32_t>(list.size() * sizeof(API_Guid)), 0, 0);
    if (h == nullptr) return ApiErr::MemoryFull;
    auto* out = reinterpret_cast<API_Guid*>(*h);
    for (size_t i = 0; i < list.size(); ++i) out[i] = list[i].guid;
    *guids = h;
    return ApiErr::NoError;
}

bool ElementFilter(const API_Guid* guid, int32_t bits, API_ElemTypeID type) {
    if (guid == nullptr) return false;
    const Project& project = CurrentProject();
    const Element* e = project.Find(*guid);
    if (e == nullptr || (type != 0 && e->type != type)) return false;
    return ElementAccess::Passes(project, *e, bits);
}

bool ElementFilterIndex(API_ElemTypeID type, int32_t index, int32_t bits) {
    const Project& project = CurrentProject();
    const Element* e = project.At(type, index);
    return e != nullptr && ElementAccess::Passes(project, *e, bits);
}

// No elements: everything is deselected. Otherwise the listed elements are selected (add) or
// deselected; elements that cannot be selected are passed over. An unknown element makes the
// call fail before anything changes.
GSErrCode ElementSelect(const API_Neig* neigs, int32_t count, bool add) {
    Project& project = CurrentProject();
    if (count < 0 || (count > 0 && neigs == nullptr)) return ApiErr::BadParameter;
    if (count == 0) {
        project.ClearSelection();
        return ApiErr::NoError;
    }
    for (int32_t i = 0; i < count; ++i)
        if (project.Find(neigs[i].guid) == nullptr) return ApiErr::BadId;
    for (int32_t i = 0; i < count; ++i) {
        if (!add) {
            project.Deselect(neigs[i].guid);
        } else if (ElementAccess::Selectable(project, *project.Find(neigs[i].guid))) {
            project.Select(neigs[i].guid);
        }
    }
    return ApiErr::NoError;
}

// Read-only fields and memos are left alone; the GUID stays what it was.
GSErrCode ElementChange(API_Element* element, const API_Element* mask, API_ElementMemo* /*memo*/,
                        uint64_t /*memoMask*/, bool /*withDelete*/) {
    if (element == nullptr || mask == nullptr) return ApiErr::BadParameter;
    Project& project = CurrentProject();
    GSErrCode error = ApiErr::NoError;
    const Element* e = LocateChangeable(project, element->header, true, error);
    if (e == nullptr) return error;
    ElementRecord::MaskedValues values;
    if (GSErrCode bad = ElementRecord::ReadMasked(*element, *mask, project, e->type, values);
        bad != ApiErr::NoError)
        return bad;
    if (ElementRecord::Differs(values, *e)) {
        Element* target = project.Edit(e->type, e->index);
        ElementRecord::PutValues(values, *target);
        e = target;
    }
    ElementRecord::Fill(*e, *element);
    return ApiErr::NoError;
}

// 'LOCK' and 'ULCK' on every header of the handle; the GUID in a header is brought up to date.
GSErrCode ElementTool(GSHandle headers, int32_t count, GSType code, void* /*param*/) {
    if (headers == nullptr || count < 0 ||
        static_cast<int64_t>(count) * static_cast<int64_t>(sizeof(API_Elem_Head)) >
            BMGetHandleSize(headers))
        return ApiErr::BadParameter;
    if (code != FourChar("LOCK") && code != FourChar("ULCK")) return ApiErr::BadParameter;
    const bool lock = code == FourChar("LOCK");
    Project& project = CurrentProject();
    auto* heads = reinterpret_cast<API_Elem_Head*>(*headers);
    std::vector<std::pair<API_ElemTypeID, int32_t>> targets;
    for (int32_t i = 0; i < count; ++i) {
        GSErrCode error = ApiErr::NoError;
        const Element* e = Locate(project, heads[i], error);
        if (e == nullptr) return error;
        if (!project.State().OnFloorPlan()) return ApiErr::BadDatabase;
        if (!ElementAccess::MayEdit(*e)) return ApiErr::NotEditable;
        targets.emplace_back(e->type, e->index);
    }
    for (int32_t i = 0; i < count; ++i) {
        const auto [type, index] = targets[static_cast<size_t>(i)];
        const Element* e = project.At(type, index);
        if (e->locked != lock) {
            const bool renew = !lock && project.renewGuidOnUnlock;
            project.Edit(type, index)->locked = lock;
            if (renew) {
                const API_Guid old = e->guid;
                project.ChangeGuid(old, project.NewGuid());
            }
        }
        heads[i].guid = e->guid;
        heads[i].lockId = e->locked ? 1 : 0;
    }
    return ApiErr::NoError;
}

GSErrCode ElementGetDefaults(API_Element* element, API_ElementMemo* memo) {
    if (element == nullptr) return ApiErr::BadParameter;
    Element* defaults =
        ElementDefaults::Get().Of(element->header.typeID, element->header.variationID);
    if (defaults == nullptr) return ApiErr::BadElementType;
    GSErrCode err = ApiErr::NoError;
    if (memo != nullptr) {
        std::memset(memo, 0, sizeof(*memo));
        const auto& hook = ElementDefaults::Get().Hook();
        if (hook) err = hook(*defaults, memo, false);
    }
    // The record is filled after the memo, which may settle the defaults' library part.
    ElementRecord::Fill(*defaults, *element);
    return err;
}

// A null mask changes every field that can be changed.
GSErrCode ElementChangeDefaults(API_Element* element, API_ElementMemo* memo,
                                const API_Element* mask) {
    if (element == nullptr) return ApiErr::BadParameter;
    Element* defaults =
        ElementDefaults::Get().Of(element->header.typeID, element->header.variationID);
    if (defaults == nullptr) return ApiErr::BadElementType;
    API_Element all;
    if (mask == nullptr) {
        std::memset(&all, 0xFF, sizeof(all));
        mask = &all;
    }
    if (GSErrCode bad = ElementRecord::ApplyMasked(*element, *mask, CurrentProject(), *defaults);
        bad != ApiErr::NoError)
        return bad;
    const auto& hook = ElementDefaults::Get().Hook();
    return memo != nullptr && hook ? hook(*defaults, memo, true) : ApiErr::NoError;
}

GSErrCode ElementGetUserData(API_Elem_Head* header, API_ElementUserData* userData,
                             uint32_t /*mask*/) {
    if (header == nullptr || userData == nullptr) return ApiErr::BadParameter;
    GSErrCode error = ApiErr::NoError;
    const Element* e = Locate(CurrentProject(), *header, error);
    if (e == nullptr) return error;
    if (!e->userData) return ApiErr::NoUserData;
    const UserData& data = *e->userData;
    GSHandle h = BMAllocateHandle(static_cast<int32_t>(data.bytes.size()), 0, 0);
    if (h == nullptr) return ApiErr::MemoryFull;
    if (!data.bytes.empty()) std::memcpy(*h, data.bytes.data(), data.bytes.size());
    std::memset(userData, 0, sizeof(*userData));
    userData->dataVersion = data.version;
    userData->platformSign = data.platformSign;
    userData->dataHdl = h;
    return ApiErr::NoError;
}

GSErrCode ElementSetUserData(API_Elem_Head* header, const API_ElementUserData* userData) {
    if (header == nullptr || userData == nullptr || userData->dataHdl == nullptr)
        return ApiErr::BadParameter;
    Project& project = CurrentProject();
    GSErrCode error = ApiErr::NoError;
    const Element* e = LocateChangeable(project, *header, false, error);
    if (e == nullptr) return error;
    const auto size = static_cast<size_t>(BMGetHandleSize(userData->dataHdl));
    const auto* bytes = reinterpret_cast<const uint8_t*>(*userData->dataHdl);
    const std::optional<UserData>& now = e->userData;
    if (now && now->version == userData->dataVersion &&
        now->platformSign == userData->platformSign && now->bytes.size() == size &&
        std::equal(bytes, bytes + size, now->bytes.begin()))
        return ApiErr::NoError;
    UserData& data = project.Edit(e->type, e->index)->userData.emplace();
    data.version = userData->dataVersion;
    data.platformSign = userData->platformSign;
    data.bytes.assign(bytes, bytes + size);
    return ApiErr::NoError;
}

// Deleting data that is not there succeeds.
GSErrCode ElementDeleteUserData(API_Elem_Head* header) {
    if (header == nullptr) return ApiErr::BadParameter;
    Project& project = CurrentProject();
    GSErrCode error = ApiErr::NoError;
    const Element* e = LocateChangeable(project, *header, false, error);
    if (e == nullptr) return error;
    if (e->userData) project.Edit(e->type, e->index)->userData.reset();
    return ApiErr::NoError;
}

GSErrCode ElementNeigIDToTypeID(API_NeigID neig, API_ElemTypeID* type) {
    if (type == nullptr) return ApiErr::BadParameter;
    *type = ElementTypes::FromNeig(neig);
    return *type != 0 ? ApiErr::NoError : ApiErr::BadParameter;
}

// The selected elements (or those in the marquee) as part references; with onlyEditable, only
// those the signed-in user may edit on unlocked layers.
GSErrCode SelectionGet(API_SelectionInfo* info, GSHandle* neigs, bool onlyEditable) {
    if (info == nullptr) return ApiErr::BadParameter;
    if (neigs != nullptr) *neigs = nullptr;
    const Project& project = CurrentProject();
    std::memset(info, 0, sizeof(*info));
    std::vector<const Element*> elements;
    if (const auto& marquee = project.CurrentMarquee()) {
        elements = project.ElementsInMarquee(*marquee);
        info->typeID = marquee->kind;
        info->marquee.nCoords = static_cast<int32_t>(marquee->polygon.size());
        GSHandle coords = BMAllocateHandle(
            static_cast<int32_t>(marquee->polygon.size() * sizeof(API_Coord)), 0, 0);
        if (coords == nullptr) return ApiErr::MemoryFull;
        auto* out = reinterpret_cast<API_Coord*>(*coords);
        for (size_t i = 0; i < marquee->polygon.size(); ++i)
            out[i] = {marquee->polygon[i].x, marquee->polygon[i].y};
        info->marquee.coords = coords;
    } else {
        for (const API_Guid& g : project.Selection())
            if (const Element* e = project.Find(g)) elements.push_back(e);
        info->typeID = elements.empty() ? APISel::Empty : APISel::Elements;
    }
    std::vector<API_Neig> list;
    for (const Element* e : elements) {
        const bool editable = ElementAccess::MayEdit(*e) && !project.LayerLocked(e->layer);
        info->sel_nElem++;
        if (editable) info->sel_nElemEdit++;
        if (onlyEditable && !editable) continue;
        API_Neig n{};
        n.neigID = ElementTypes::Of(e->type).neig;
        n.guid = e->guid;
        list.push_back(n);
    }
    if (neigs != nullptr) {
        GSHandle h = BMAllocateHandle(static_cast<int32_t>(list.size() * sizeof(API_Neig)), 0, 0);
        if (h == nullptr) {
            BMKillHandle(&info->marquee.coords);
            return ApiErr::MemoryFull;
        }
        if (!list.empty()) std::memcpy(*h, list.data(), list.size() * sizeof(API_Neig));
        *neigs = h;
    }
    return ApiErr::NoError;
}

GSErrCode DisposeElemMemoHdls(API_ElementMemo* memo) {
    if (memo == nullptr) return ApiErr::BadParameter;
    BMKillHandle(&memo->coords);
    BMKillHandle(&memo->pends);
    BMKillHandle(&memo->params);
    BMKillHandle(&memo->textContent);
    for (GSHandle& h : memo->reserved) BMKillHandle(&h);
    return ApiErr::NoError;
}

GSErrCode OpenUndoableSession(const char* title) {
    CurrentProject().OpenUndoStep(title != nullptr ? title : "");
    return ApiErr::NoError;
}

GSErrCode CloseUndoableSession() {
    return CurrentProject().CloseUndoStep() ? ApiErr::NoError : ApiErr::NotDone;
}

Registrar elementSlots([](Registry& r) {
    PW_SET_SLOT(r, Element_Get, ElementGet);
    PW_SET_SLOT(r, Element_GetHeader, ElementGetHeader);
    PW_SET_SLOT(r, Element_GetNum, ElementGetNum);
    PW_SET_SLOT(r, Element_GetElemList, ElementGetElemList);
    PW_SET_SLOT(r, Element_Filter, ElementFilter);
    PW_SET_SLOT(r, Element_Filter_Index, ElementFilterIndex);
    PW_SET_SLOT(r, Element_Select, ElementSelect);
    PW_SET_SLOT(r, Element_Change, ElementChange);
    PW_SET_SLOT(r, Element_Tool, ElementTool);
    PW_SET_SLOT(r, Element_GetDefaults, ElementGetDefaults);
    PW_SET_SLOT(r, Element_ChangeDefaults, ElementChangeDefaults);
    PW_SET_SLOT(r, Element_GetUserData, ElementGetUserData);
    PW_SET_SLOT(r, Element_SetUserData, ElementSetUserData);
    PW_SET_SLOT(r, Element_DeleteUserData, ElementDeleteUserData);
    PW_SET_SLOT(r, Element_NeigIDToTypeID, ElementNeigIDToTypeID);
    PW_SET_SLOT(r, Selection_Get, SelectionGet);
    PW_SET_SLOT(r, DisposeElemMemoHdls, DisposeElemMemoHdls);
    PW_SET_SLOT(r, OpenUndoableSession, OpenUndoableSession);
    PW_SET_SLOT(r, CloseUndoableSession, CloseUndoableSession);
});

}  // namespace
}  // namespace CadHost
