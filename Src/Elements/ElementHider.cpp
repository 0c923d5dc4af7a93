#include "Elements/ElementHider.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "API/ApiAttributes.h"
#include "API/Elements.h"
#include "API/Selectors.h"
#include "API/View3D.h"
#include "AddOn/Preferences.h"
#include "AddOn/DGUtils.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "BM.h"
#include "CH.h"
#include "Elements/EElementHider.h"
#include "Elements/ElementList.h"
#include "Elements/MassChange.h"
#include "Elements/ReportTap.h"
#include "Elements/SwitchDatabaseAndWindow.h"
#include "Host/VTAPI.h"
#include "Schedule/DB.h"
#include "Schedule/ETaskNotFound.h"

char ElementHider::HiddenLayerName[32] = {};

namespace {

constexpr const char* kThrownFrom = "Src/ElementHider";
constexpr short kNoUserDataCode = 220;

// A host memory handle freed on every way out.
class OwnedHandle {
public:
    explicit OwnedHandle(GSHandle h = nullptr) : handle(h) {}
    ~OwnedHandle() { BMKillHandle(&handle); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    GSHandle& Get() { return handle; }

private:
    GSHandle handle;
};

// Locks an element again, on every way out, once it was unlocked for a treatment. Follows the
// GUID variable, which the host may renew on the way.
class Relock {
public:
    Relock(ElementHider& hider_, API_ElemTypeID type_, API_Guid* guid_)
        : hider(hider_), type(type_), guid(guid_) {}
    ~Relock() {
        if (armed) hider.LockElement(type, guid);
    }
    Relock(const Relock&) = delete;
    Relock& operator=(const Relock&) = delete;
    void Arm() { armed = true; }

private:
    ElementHider& hider;
    API_ElemTypeID type;
    API_Guid* guid;
    bool armed = false;
};

API_Elem_Head HeaderOf(API_ElemTypeID type, const API_Guid& guid) {
    API_Elem_Head head;
    std::memset(&head, 0, sizeof(head));
    head.typeID = type;
    head.guid = guid;
    return head;
}

// Reads the element into a zeroed record; the host's result.
GSErrCode ReadElement(API_ElemTypeID type, const API_Guid& guid, API_Element& element) {
    std::memset(&element, 0, sizeof(element));
    element.header.typeID = type;
    element.header.guid = guid;
    return VTAPI_Element_Get(&element, 0);
}

// ---- Pens, materials and switches of each handled element type --------------------------------

// Byte offsets of a type's ordered pen, material and switch fields in the element record.
struct AttributeFields {
    std::vector<size_t> pens, materials, switches;
};

AttributeFields FieldsOf(API_ElemTypeID type) {
    switch (type) {
        case APIElem::Wall:
            return {{offsetof(API_WallType, contPen), offsetof(API_WallType, contPen3D)},
                    {offsetof(API_WallType, refMat), offsetof(API_WallType, oppMat),
                     offsetof(API_WallType, sideMat)},
                    {offsetof(API_WallType, materialsChained), offsetof(API_WallType, refMatOverride),
                     offsetof(API_WallType, oppMatOverride)}};
        case APIElem::Column:
            return {{offsetof(API_ColumnType, corePen), offsetof(API_ColumnType, veneerPen),
                     offsetof(API_ColumnType, sectPen), offsetof(API_ColumnType, contPen3D)},
                    {offsetof(API_ColumnType, surfaceMat)},
                    {}};
        case APIElem::Beam:
            return {{offsetof(API_BeamType, refPen), offsetof(API_BeamType, sectPen),
                     offsetof(API_BeamType, contPen3D), offsetof(API_BeamType, hiddenPen),
                     offsetof(API_BeamType, holePen)},
                    {offsetof(API_BeamType, leftMat), offsetof(API_BeamType, rightMat),
                     offsetof(API_BeamType, topMat), offsetof(API_BeamType, botMat),
                     offsetof(API_BeamType, holeMat)},
                    {}};
        case APIElem::Window:
        case APIElem::Door:
        case APIElem::Object:
        case APIElem::Lamp:
            return {{offsetof(API_ObjectType, pen)},
                    {offsetof(API_ObjectType, mat)},
                    {offsetof(API_ObjectType, useObjPens), offsetof(API_ObjectType, useObjMaterials)}};
        case APIElem::Slab:
            return {{offsetof(API_SlabType, pen), offsetof(API_SlabType, sectPen),
                     offsetof(API_SlabType, contPen3D)},
                    {offsetof(API_SlabType, topMat), offsetof(API_SlabType, sideMat),
                     offsetof(API_SlabType, botMat)},
                    {}};
        case APIElem::Roof:
            return {{offsetof(API_RoofType, pen), offsetof(API_RoofType, sectPen),
                     offsetof(API_RoofType, contPen3D), offsetof(API_RoofType, hiddenPen),
                     offsetof(API_RoofType, ridgePen)},
                    {offsetof(API_RoofType, topMat), offsetof(API_RoofType, sideMat),
                     offsetof(API_RoofType, botMat)},
                    {}};
        case APIElem::Mesh:
            return {{offsetof(API_MeshType, contPen), offsetof(API_MeshType, sectPen),
                     offsetof(API_MeshType, contPen3D), offsetof(API_MeshType, ridgePen)},
                    {offsetof(API_MeshType, topMat), offsetof(API_MeshType, sideMat),
                     offsetof(API_MeshType, botMat)},
                    {}};
        case APIElem::Zone:
            return {{offsetof(API_ZoneType, contPen)}, {}, {offsetof(API_ZoneType, solidFill)}};
        case APIElem::Fill:
        case APIElem::Line:
        case APIElem::Arc:
        case APIElem::Spline:
            return {{offsetof(API_DrawingType, linePen), offsetof(API_DrawingType, secondPen)}, {}, {}};
        case APIElem::Circle:
            return {{offsetof(API_DrawingType, linePen)}, {}, {}};
        case APIElem::CurtainWall:
            return {{offsetof(API_CurtainWallType, contPen), offsetof(API_CurtainWallType, contPen3D),
                     offsetof(API_CurtainWallType, framePen), offsetof(API_CurtainWallType, panelPen),
                     offsetof(API_CurtainWallType, junctionPen),
                     offsetof(API_CurtainWallType, accessoryPen)},
                    {offsetof(API_CurtainWallType, frameMat), offsetof(API_CurtainWallType, panelMat),
                     offsetof(API_CurtainWallType, junctionMat),
                     offsetof(API_CurtainWallType, accessoryMat),
                     offsetof(API_CurtainWallType, boundaryMat)},
                    {offsetof(API_CurtainWallType, frameMatOverride),
                     offsetof(API_CurtainWallType, panelMatOverride)}};
        default:
            return {};
    }
}

const AttributeFields& FieldsOfCached(API_ElemTypeID type) {
    static const auto table = [] {
        std::vector<AttributeFields> t(APIElem::Last + 1);
        for (API_ElemTypeID i = APIElem::First; i <= APIElem::Last; ++i) t[size_t(i)] = FieldsOf(i);
        return t;
    }();
    static const AttributeFields none;
    return type >= APIElem::First && type <= APIElem::Last ? table[size_t(type)] : none;
}

int16_t Number(const API_Element& e, size_t offset) {
    int16_t v;
    std::memcpy(&v, e.raw + offset, sizeof(v));
    return v;
}
void SetNumber(API_Element& e, API_Element& mask, size_t offset, int16_t value) {
    std::memcpy(e.raw + offset, &value, sizeof(value));
    const int16_t all = -1;
    std::memcpy(mask.raw + offset, &all, sizeof(all));
}
bool Switch(const API_Element& e, size_t offset) { return e.raw[offset] != 0; }
void SetSwitch(API_Element& e, API_Element& mask, size_t offset, bool on) {
    e.raw[offset] = on ? 1 : 0;
    mask.raw[offset] = 1;
}

// The record slot that keeps pen k of the ordered list: savedPens first, then savedPens2.
int16_t& PenSlot(OwnData& d, size_t k) { return k < 3 ? d.savedPens[k] : d.savedPens2[k - 3]; }

// The record to write before an element is changed from `former` to `next`: `next`, but still
// holding the layer and the attribute values that the change puts back, so that a record written
// before the element never forgets a value the element does not have again yet.
OwnData KeepPuttingBack(const OwnData& former, const OwnData& next) {
    OwnData kept = next;
    if (former.hiddenFromLayer != 0 && next.hiddenFromLayer == 0)
        kept.hiddenFromLayer = former.hiddenFromLayer;
    if (former.savedPens[0] != 0 && next.savedPens[0] == 0) {
        std::memcpy(kept.savedPens, former.savedPens, sizeof(kept.savedPens));
        std::memcpy(kept.savedPens2, former.savedPens2, sizeof(kept.savedPens2));
        std::memcpy(kept.savedMaterials, former.savedMaterials, sizeof(kept.savedMaterials));
        std::memcpy(kept.savedMaterials2, former.savedMaterials2, sizeof(kept.savedMaterials2));
        kept.savedSwitch1 = former.savedSwitch1;
        kept.savedSwitch2 = former.savedSwitch2;
    }
    return kept;
}

// ---- Report lines ---------------------------------------------------------------------------

void Report(short list, short index, std::initializer_list<const char*> texts) {
    char format[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(format, list, index);
    ReportTap::Write(ResUtils::FormatTexts(format, texts));
}

// The task-type materials: first colour of each, by TASKTYPE.
constexpr API_RGBColor kMaterialColours[TASK::kTypeCount] = {
    {0.0, 0.9, 0.0},        // Build
    {0.8, 0.0, 0.0},        // Demolish
    {100.0, 100.0, 100.0},  // TypeR: out of range on purpose; the host keeps it within 0..1
    {0.0, 0.0, 0.9},        // TypeF
    {1.0, 1.0, 0.5},        // Temporary
};

}  // namespace

// ---- Start-up ----------------------------------------------------------------------------------

void ElementHider::Create() {
    char text[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(text, ResId::HiddenLayerName, 1);
    CHTruncate(text, HiddenLayerName, sizeof(HiddenLayerName));
    for (short i = 1; i <= TASK::kTypeCount; ++i) {
        ResUtils::LoadResourceString(text, ResId::TaskTypePens, i);
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        pens[i - 1] = end != text ? static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF))
                                  : static_cast<int16_t>(256 - i);
    }
}

// ---- The link record -------------------------------------------------------------------------

void ElementHider::GetData(API_ElemTypeID type, API_Guid guid, OwnData& data) {
    API_Elem_Head head = HeaderOf(type, guid);
    API_ElementUserData envelope;
    std::memset(&envelope, 0, sizeof(envelope));
    envelope.platformSign = OwnData::kPlatformSign;
    const GSErrCode err = VTAPI_Element_GetUserData(&head, &envelope, 0);
    OwnedHandle bytes(envelope.dataHdl);
    if (err == ApiErr::NoUserData) throw EElementHider(kThrownFrom, __LINE__, kNoUserDataCode);
    if (!OwnData::IsReadableVersion(envelope.dataVersion) || err != ApiErr::NoError)
        throw EElementHider(kThrownFrom, __LINE__, "");
    // Bytes too short to be a record are refused rather than read past their end.
    if (bytes.Get() == nullptr || BMGetHandleSize(bytes.Get()) < int32_t(sizeof(OwnData)))
        throw EElementHider(kThrownFrom, __LINE__, "");
    std::memcpy(&data, *bytes.Get(), sizeof(OwnData));
    data.IvNumbers();
}

bool ElementHider::SetData(API_ElemTypeID type, API_Guid* guid, OwnData data, bool unlockIfLocked) {
    data.IvNumbers();
    OwnedHandle bytes(BMAllocateHandle(int32_t(sizeof(OwnData)), 2, 0));
    if (bytes.Get() == nullptr) throw EElementHider(kThrownFrom, __LINE__, "");
    std::memcpy(*bytes.Get(), &data, sizeof(OwnData));
    API_ElementUserData envelope;
    std::memset(&envelope, 0, sizeof(envelope));
    envelope.dataVersion = OwnData::kDataVersion;
    envelope.platformSign = OwnData::kPlatformSign;
    envelope.dataHdl = bytes.Get();

    API_Elem_Head head = HeaderOf(type, *guid);
    GSErrCode err = VTAPI_Element_SetUserData(&head, &envelope);
    if (err == ApiErr::ElementLocked && unlockIfLocked) {
        API_Element element;
        if (ReadElement(type, *guid, element) != ApiErr::NoError)
            throw EElementHider(kThrownFrom, __LINE__, "");
        if (element.header.lockId <= 0) throw EElementHider(kThrownFrom, __LINE__, "");
        if (!UnlockElement(type, guid)) throw EElementHider(kThrownFrom, __LINE__, "");
        Relock relock(*this, type, guid);  // also when the second write fails
        relock.Arm();
        head = HeaderOf(type, *guid);
        err = VTAPI_Element_SetUserData(&head, &envelope);
        if (err != ApiErr::NoError) throw EElementHider(kThrownFrom, __LINE__, "");
    }
    if (err == ApiErr::NotEditable) return false;
    if (err != ApiErr::NoError) throw EElementHider(kThrownFrom, __LINE__, "");
    return true;
}

void ElementHider::DeleteOneLinkFromElement(OwnData& data, int32_t index, API_ElemTypeID type,
                                            API_Guid* guid) {
    if (index < 0 || index >= OwnData::kMaxLinks) return;
    data.taskUniqueIDs[index] = 0;
    try {
        SetData(type, guid, data, true);
    } catch (const EElementHider&) {
        DGUtils::ResAlert(ResId::AlertLinksNotWritten);
    }
}

// ---- The state of one element --------------------------------------------------------------

void ElementHider::ChooseElementState(DB& db, OwnData& data, API_ElemTypeID type, API_Guid* guid,
                                      TASKTYPE* taskType, TASK::LINKEDELEMENTSTATE* state) {
    *taskType = kNoTaskType;
    *state = kNoTaskState;
    bool underWaySeen = false, taskSeen = false;
    for (int32_t slot = 0; slot < OwnData::kMaxLinks && data.taskUniqueIDs[slot] != 0; ++slot) {
        const TASK* task = nullptr;
        try {
            task = &db.tasks[db.GetTaskIndexByUniqueID(data.taskUniqueIDs[slot])];
        } catch (const ETaskNotFound&) {
            const short answer = DGUtils::ResAlert(ResId::AlertLinkToMissingTask);
            if (answer == 1) {
                DeleteOneLinkFromElement(data, slot, type, guid);
                data.DefragmentTaskUniqueIDs();
                try {
                    // A locked element is unlocked for this write alone (as for the one before).
                    SetData(type, guid, data, true);
                } catch (const EElementHider&) {
                    // Already reported by DeleteOneLinkFromElement when the element refuses.
                }
                throw ETaskNotFound(kThrownFrom, __LINE__, "");
            }
            if (answer == 3) throw ETaskNotFound(kThrownFrom, __LINE__, "");
            continue;
        }
        taskSeen = true;
        if (!task->inProgress) continue;
        if (underWaySeen) {
            ++problemCount;
            char typeName[kIdentifierSize], idText[kIdentifierSize];
            GetElemIdentifier(type, *guid, typeName, idText);
            Report(ResId::ScheduleReports, 3, {typeName, idText});
        }
        *taskType = task->type;
        *state = task->linkedElementState;
        underWaySeen = true;
    }
    if (!underWaySeen && taskSeen) ScanForRightElementState(data.taskUniqueIDs, db, taskType, state);
}

void ElementHider::ScanForRightElementState(const int32_t* ids, const DB& db, TASKTYPE* type,
                                            TASK::LINKEDELEMENTSTATE* state) {
    std::array<const TASK*, OwnData::kMaxLinks> found{};
    size_t count = 0;
    for (int32_t slot = 0; slot < OwnData::kMaxLinks && ids[slot] != 0; ++slot)
        found[count++] = &db.tasks[db.GetTaskIndexByUniqueID(ids[slot])];  // ETaskNotFound
    const std::span<const TASK* const> linked(found.data(), count);

    const CHighTime now = db.currentDate;
    // The task with the smallest span that counts (whole hours 0 or more); the earlier slot wins
    // a tie.
    auto closest = [&](auto spanOf) -> const TASK* {
        const TASK* taken = nullptr;
        int64_t best = 0;
        for (const TASK* task : linked) {
            const CHighTimeSpan span = spanOf(*task);
            if (span.GetTotalHours() < 0) continue;
            if (taken == nullptr || span.ticks < best) {
                taken = task;
                best = span.ticks;
            }
        }
        return taken;
    };
    const TASK* taken = closest([&](const TASK& t) { return now - CHighTime(t.end); });
    if (taken == nullptr) taken = closest([&](const TASK& t) { return CHighTime(t.start) - now; });
    if (taken == nullptr) {
        // Only dates that contradict the computed fields get here (a task neither finished nor
        // to begin, yet not under way). No task is designated: the element is shown as it is.
        *type = kNoTaskType;
        *state = kNoTaskState;
        return;
    }
    *type = taken->type;
    *state = taken->linkedElementState;
}

bool ElementHider::IsElemStateModified(const API_Guid& guid, TASKTYPE type,
                                       TASK::LINKEDELEMENTSTATE state) {
    const auto [it, inserted] = elemStates.try_emplace(guid, FullElemState{state, type});
    if (inserted) return true;
    FullElemState& known = it->second;
    const bool changed = known.state != state || known.type != type;
    known = {state, type};
    return changed;
}

void ElementHider::ForgetElemStates() {
    elemStates.clear();
    memory.Forget();
}

void ElementHider::InitElemStateContainer(DB& db, TASK::LINKEDELEMENTSTATE state) {
    elemStates.clear();
    memory.Forget();
    for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type) {
        if (!IsTypeHandledByPW(type)) continue;
        int32_t count = 0;
        if (VTAPI_Element_GetNum(type, &count) != ApiErr::NoError)
            throw EElementHider(kThrownFrom, __LINE__, "");
        for (const API_Guid& guid : ElementList(type)) {
            try {
                if (!IsHandledByPW(type, guid)) continue;
            } catch (const EElementHider&) {
                continue;
            }
            API_Element element;
            const GSErrCode read = ReadElement(type, guid, element);
            if (db.userID != 0 && (read != ApiErr::NoError || element.header.userId != db.userID))
                continue;
            OwnData data;
            try {
                GetData(type, guid, data);
            } catch (const EElementHider&) {
                continue;
            }
            if (data.taskUniqueIDs[0] == 0) continue;
            elemStates[guid] = FullElemState{state, Build};
        }
    }
}

// ---- One element -----------------------------------------------------------------------------

bool ElementHider::Hide(DB& db, API_ElemTypeID type, API_Guid guid, bool keepGuid,
                        int16_t hiddenLayer) {
    return Hide(db, type, guid, keepGuid, hiddenLayer, nullptr);
}

bool ElementHider::Hide(DB& db, API_ElemTypeID type, API_Guid guid, bool keepGuid,
                        int16_t hiddenLayer, ShowingMemory::ElementNote* note) {
    if (!IsTypeHandledByPW(type)) return false;
    OwnData data;
    try {
        GetData(type, guid, data);
    } catch (const EElementHider&) {
        return false;  // not linked
    }
    API_Element element, mask;
    if (ReadElement(type, guid, element) != ApiErr::NoError)
        throw EElementHider(kThrownFrom, __LINE__, "");
    std::memset(&mask, 0, sizeof(mask));
    if (!IsLayerHandledByPW(element.header.layer)) return false;

    if (note != nullptr) {
        note->linked = true;
        note->guid = guid;
        std::memcpy(note->ids, data.taskUniqueIDs, sizeof(note->ids));
    }
    problemCount += db.ConnectedTasksCheck(&data, type, guid);

    TASKTYPE taskType = kNoTaskType;
    TASK::LINKEDELEMENTSTATE state = kNoTaskState;
    ChooseElementState(db, data, type, &guid, &taskType, &state);
    element.header.guid = guid;
    if (note != nullptr) note->guid = guid;
    if (!IsElemStateModified(guid, taskType, state)) return false;
    const OwnData former = data;

    const auto layerBack = [&] {
        element.header.layer = data.hiddenFromLayer;
        mask.header.layer = -1;
        data.hiddenFromLayer = 0;
    };
    switch (state) {
        case TASK::Absent:
            // A record that still names the element's layer while the element stands elsewhere
            // (a crash after putting it back, before the record was cleared): hidden again, the
            // layer it came from stays the one in the record.
            if (data.hiddenFromLayer != 0 && element.header.layer == hiddenLayer) return false;
            if (data.hiddenFromLayer == 0) data.hiddenFromLayer = element.header.layer;
            element.header.layer = hiddenLayer;
            mask.header.layer = -1;
            break;
        case TASK::UnderWay:
            if (data.savedPens[0] != 0) {
                // The values saved at the first change stay; only the element is recoloured.
                OwnData scratch = data;
                ModifyAttributes(false, &element, &mask, &scratch, taskType);
            } else {
                ModifyAttributes(false, &element, &mask, &data, taskType);
            }
            if (data.hiddenFromLayer != 0) layerBack();
            break;
        default: {  // Present, or no task found
            if (state == TASK::Present && static_cast<uint32_t>(taskType) < TASK::kTypeCount &&
                doneMaterials[taskType] != 0) {
                // The user chose a colour for the elements done: replaced as under way, with
                // the values saved at the first change kept.
                if (data.savedPens[0] != 0) {
                    OwnData scratch = data;
                    ModifyAttributes(false, &element, &mask, &scratch, taskType, true);
                } else {
                    ModifyAttributes(false, &element, &mask, &data, taskType, true);
                }
                if (data.hiddenFromLayer != 0) layerBack();
                break;
            }
            bool anything = false;
            if (data.savedPens[0] != 0) {
                ModifyAttributes(true, &element, &mask, &data, taskType);
                anything = true;
            }
            if (data.hiddenFromLayer != 0) {
                layerBack();
                anything = true;
            }
            if (!anything) return false;
            break;
        }
    }

    // A locked element is unlocked only now that it is to change, and for as short a time as
    // can be: should the host die in between, the element is left unlocked.
    Relock relock(*this, type, &guid);  // every way out below, exceptions included
    if (element.header.lockId > 0) {
        if (!UnlockElement(type, &guid)) throw EElementHider(kThrownFrom, __LINE__, "");
        relock.Arm();
        element.header.guid = guid;
        if (note != nullptr) note->guid = guid;
    }

    frameUnchanged = false;
    // The record goes first: whatever happens to the element afterwards, the record describes
    // values that the element has or had, and restoring puts them back. Values being put back
    // are therefore forgotten only once the element has them again: until then the record keeps
    // them beside any it has just saved.
    const OwnData kept = KeepPuttingBack(former, data);
    if (!SetData(type, &guid, kept, true)) return true;
    element.header.guid = guid;
    if (VTAPI_Element_Change(&element, &mask, nullptr, 0, true) != ApiErr::NoError)
        throw EElementHider(kThrownFrom, __LINE__, "");
    if (std::memcmp(&kept, &data, sizeof(OwnData)) != 0) {
        API_Guid now = element.header.guid;
        SetData(type, &now, data, true);
        element.header.guid = now;
    }
    if (!keepGuid) guid = element.header.guid;
    if (note != nullptr) note->guid = guid;
    return true;
}

void ElementHider::ModifyAttributes(bool restore, API_Element* element, API_Element* mask,
                                    OwnData* data, TASKTYPE type, bool done) {
    std::memset(mask, 0, sizeof(*mask));
    const API_ElemTypeID elemType = element->header.typeID;
    const AttributeFields& f = FieldsOfCached(elemType);
    const bool knownType = static_cast<uint32_t>(type) < uint32_t(TASK::kTypeCount);
    const int16_t pen = knownType ? pens[type] : 0;
    const int16_t material = !knownType ? 0 : done ? doneMaterials[type] : materials[type];
    // Switches of placed library parts are saved only at the first change.
    const bool firstChange = data->savedPens[0] == 0;

    // Record slots of material k: savedMaterials in order; the curtain wall keeps its fourth
    // also in savedMaterials[4] and its fifth in savedMaterials2[0] and [1].
    const bool curtainWall = elemType == APIElem::CurtainWall;
    auto materialSlot = [&](size_t k) -> int16_t& {
        return curtainWall && k == 4 ? data->savedMaterials2[0] : data->savedMaterials[k];
    };

    if (!restore) {
        for (size_t k = 0; k < f.pens.size(); ++k) {
            PenSlot(*data, k) = Number(*element, f.pens[k]);
            SetNumber(*element, *mask, f.pens[k], pen);
        }
        for (size_t k = 0; k < f.materials.size(); ++k) {
            materialSlot(k) = Number(*element, f.materials[k]);
            if (curtainWall && k == 3) data->savedMaterials[4] = data->savedMaterials[3];
            if (curtainWall && k == 4) data->savedMaterials2[1] = data->savedMaterials2[0];
            SetNumber(*element, *mask, f.materials[k], material);
        }
    } else {
        for (size_t k = 0; k < f.pens.size(); ++k)
            SetNumber(*element, *mask, f.pens[k], PenSlot(*data, k));
        for (size_t k = 0; k < f.materials.size(); ++k)
            SetNumber(*element, *mask, f.materials[k], materialSlot(k));
    }

    switch (elemType) {
        case APIElem::Wall:
            if (!restore) {
                bool allOn = true;
                for (size_t s : f.switches) allOn = allOn && Switch(*element, s);
                data->savedSwitch1 = allOn ? 1 : 0;
                for (size_t s : f.switches) SetSwitch(*element, *mask, s, false);
            } else {
                for (size_t s : f.switches) SetSwitch(*element, *mask, s, data->savedSwitch1 != 0);
            }
            break;
        case APIElem::Window:
        case APIElem::Door:
        case APIElem::Object:
        case APIElem::Lamp:
            if (!restore) {
                if (firstChange) {
                    data->savedSwitch1 = Switch(*element, f.switches[0]) ? 1 : 0;
                    data->savedSwitch2 = Switch(*element, f.switches[1]) ? 1 : 0;
                }
                for (size_t s : f.switches) SetSwitch(*element, *mask, s, false);
            } else {
                SetSwitch(*element, *mask, f.switches[0], data->savedSwitch1 != 0);
                SetSwitch(*element, *mask, f.switches[1], data->savedSwitch2 != 0);
            }
            break;
        case APIElem::Zone:
            SetSwitch(*element, *mask, f.switches[0], true);
            break;
        case APIElem::CurtainWall:
            if (!restore) {
                data->savedSwitch1 = Switch(*element, f.switches[0]) ? 1 : 0;
                data->savedSwitch3 = Switch(*element, f.switches[1]) ? 1 : 0;
                for (size_t s : f.switches) SetSwitch(*element, *mask, s, false);
            } else {
                SetSwitch(*element, *mask, f.switches[0], data->savedSwitch1 != 0);
                SetSwitch(*element, *mask, f.switches[1], data->savedSwitch3 != 0);
            }
            break;
        default:
            break;
    }

    if (restore) {
        std::memset(data->savedPens, 0, sizeof(data->savedPens));
        std::memset(data->savedPens2, 0, sizeof(data->savedPens2));
        std::memset(data->savedMaterials, 0, sizeof(data->savedMaterials));
        std::memset(data->savedMaterials2, 0, sizeof(data->savedMaterials2));
        data->savedSwitch1 = 0;
        data->savedSwitch2 = 0;
    }
}

void ElementHider::Restore(const DB& db, API_ElemTypeID type, API_Guid guid) {
    if (!IsTypeHandledByPW(type)) return;
    API_Element element, mask;
    if (ReadElement(type, guid, element) != ApiErr::NoError)
        throw EElementHider(kThrownFrom, __LINE__, "");
    std::memset(&mask, 0, sizeof(mask));
    // Also on a layer the user hid: what a showing changed goes back whatever the layer's state
    // now, and putting an element back never changes a layer.

    OwnData data;
    try {
        GetData(type, guid, data);
    } catch (const EElementHider&) {
        // No record of ours (or one we cannot read): there is nothing to put back, and bytes we
        // do not understand are not ours to remove.
        return;
    }
    if (data.taskUniqueIDs[0] != 0) problemCount += db.ConnectedTasksCheck(&data, type, guid);

    Relock relock(*this, type, &guid);
    if (element.header.lockId > 0) {
        if (!UnlockElement(type, &guid)) throw EElementHider(kThrownFrom, __LINE__, "");
        relock.Arm();
        element.header.guid = guid;
    }

    bool putBack = false;
    if (data.savedPens[0] != 0) {
        ModifyAttributes(true, &element, &mask, &data, kNoTaskType);
        putBack = true;
    }
    if (data.hiddenFromLayer != 0) {
        element.header.layer = data.hiddenFromLayer;
        mask.header.layer = -1;
        data.hiddenFromLayer = 0;
        putBack = true;
    }
    const bool linked = data.taskUniqueIDs[0] != 0;
    if (putBack) {
        // The element first: a record cleared before it would forget values the element still
        // lacks, and nothing could put them back after a crash in between.
        element.header.guid = guid;
        if (VTAPI_Element_Change(&element, &mask, nullptr, 0, true) != ApiErr::NoError)
            throw EElementHider(kThrownFrom, __LINE__, "");
        guid = element.header.guid;
        if (linked) SetData(type, &guid, data, false);
    }
    if (!linked) {
        API_Elem_Head head = HeaderOf(type, guid);
        VTAPI_Element_DeleteUserData(&head);
    }
}

void ElementHider::ShowAllElements(DB& db) {
    SwitchDatabaseAndWindow floorPlan;
    trustedStamp = 0;
    frameUnchanged = true;
    ShowPWLayer(true);
    {
        MassChange bracket;
        for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type) {
            int32_t count = 0;
            if (VTAPI_Element_GetNum(type, &count) != ApiErr::NoError) break;
            if (!IsTypeHandledByPW(type) || count == 0) continue;
            // Every element, also on a layer the user hid after a showing: "show all" puts back
            // what any showing changed, and restoring never touches a layer itself.
            for (const API_Guid& guid : ElementList(type)) {
                try {
                    Restore(db, type, guid);
                } catch (const EElementHider&) {
                    // This element stays as it is; the others are restored.
                }
            }
        }
    }
    ShowPWLayer(false);
    InitElemStateContainer(db, TASK::Present);
}

// ---- Layers and locks --------------------------------------------------------------------------

namespace {

// The layer at `index` as the host gives it; false when it cannot be read.
bool GetLayer(int32_t index, API_Attribute& layer) {
    std::memset(&layer, 0, sizeof(layer));
    layer.header.typeID = APIAttr::Layer;
    layer.header.index = index;
    return VTAPI_Attribute_Get(&layer) == ApiErr::NoError;
}

// Calls `visit(index, layer)` for every layer that can be read, in the order of their indexes.
template <class Visit>
void ForEachLayer(Visit visit) {
    int32_t count = 0;
    if (VTAPI_Attribute_GetNum(APIAttr::Layer, &count) != ApiErr::NoError) return;
    for (int32_t i = 1; i <= count; ++i) {
        API_Attribute layer;
        if (GetLayer(i, layer)) visit(static_cast<int16_t>(i), layer);
    }
}

}  // namespace

int16_t ElementHider::ShowPWLayer(bool show) const {
    API_Attribute layer;
    std::memset(&layer, 0, sizeof(layer));
    layer.header.typeID = APIAttr::Layer;
    CHTruncate(HiddenLayerName, layer.header.name, sizeof(layer.header.name));
    GSErrCode err = VTAPI_Attribute_Search(&layer);
    if (err == ApiErr::NoSuchAttribute) {
        std::memset(&layer, 0, sizeof(layer));
        layer.header.typeID = APIAttr::Layer;
        CHTruncate(HiddenLayerName, layer.header.name, sizeof(layer.header.name));
        err = VTAPI_Attribute_Create(&layer, nullptr);
    }
    if (err != ApiErr::NoError) return 0;
    layer.header.flags = show ? 0 : APILayerFlag::Hidden;
    VTAPI_Attribute_Modify(&layer, nullptr);
    return static_cast<int16_t>(layer.header.index);
}

void ElementHider::RefreshNonManagedLayers() {
    nonManagedLayers.clear();
    ForEachLayer([this](int16_t index, const API_Attribute& layer) {
        const bool hidden = (layer.header.flags & APILayerFlag::Hidden) != 0;
        if (hidden && CHCompareTexts(layer.header.name, HiddenLayerName, 1) != 0)
            nonManagedLayers.insert(
                {index, (layer.header.flags & APILayerFlag::Locked) != 0, hidden});
    });
}

bool ElementHider::IsLayerHandledByPW(int16_t layer) const {
    return nonManagedLayers.count(NonManagedLayer_t{layer, false, false}) == 0;
}

bool ElementHider::IsHandledByPW(API_ElemTypeID type, API_Guid guid) const {
    if (!IsTypeHandledByPW(type)) return false;
    API_Element element;
    if (ReadElement(type, guid, element) != ApiErr::NoError)
        throw EElementHider(kThrownFrom, __LINE__, "");
    return IsLayerHandledByPW(element.header.layer);
}

bool ElementHider::IsTypeHandledByPW(API_ElemTypeID type) {
    switch (type) {
        case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10:
        case 17: case 18: case 19: case 21: case 22: case 23: case 37:
            return true;
        default:
            return false;
    }
}

void ElementHider::UnlockLayers() {
    unlockedLayers.clear();
    ForEachLayer([this](int16_t index, API_Attribute& layer) {
        if ((layer.header.flags & APILayerFlag::Locked) == 0) return;
        unlockedLayers.insert(index);
        layer.header.flags &= ~APILayerFlag::Locked;
        VTAPI_Attribute_Modify(&layer, nullptr);
    });
}

void ElementHider::LockLayers() {
    for (int16_t index : unlockedLayers) {
        API_Attribute layer;
        if (!GetLayer(index, layer)) continue;
        layer.header.flags |= APILayerFlag::Locked;
        VTAPI_Attribute_Modify(&layer, nullptr);
    }
}

namespace {

bool ElementTool(API_ElemTypeID type, API_Guid* guid, const char (&code)[5]) {
    OwnedHandle headers(BMAllocateHandle(int32_t(sizeof(API_Elem_Head)), 2, 0));
    if (headers.Get() == nullptr) return false;
    auto* head = reinterpret_cast<API_Elem_Head*>(*headers.Get());
    *head = HeaderOf(type, *guid);
    const GSErrCode err = VTAPI_Element_Tool(headers.Get(), 1, FourChar(code), nullptr);
    *guid = head->guid;
    return err == ApiErr::NoError;
}

}  // namespace

bool ElementHider::UnlockElement(API_ElemTypeID type, API_Guid* guid) {
    return ElementTool(type, guid, "ULCK");
}

bool ElementHider::LockElement(API_ElemTypeID type, API_Guid* guid) {
    return ElementTool(type, guid, "LOCK");
}

API_NeigID ElementHider::TypeIDToNeigID(API_ElemTypeID type) {
    static constexpr API_NeigID kNeigOfType[] = {
        0,  1,  5,  6,  9,  11, 13, 14, 15, 17, 20,  // types 0..10
        24, 27, 28, 29, 31, 32, 33, 37, 39, 0,       // 11..20
        43, 45, 47, 49, 50, 52, 0,  54, 0,  0,       // 21..30
        56, 0,  87, 90, 0,  0,  96};                 // 31..37
    constexpr auto kCount = API_ElemTypeID(sizeof(kNeigOfType) / sizeof(kNeigOfType[0]));
    return type >= 0 && type < kCount ? kNeigOfType[type] : 0;
}

API_ElemTypeID ElementHider::NeigIDToTypeID(API_NeigID neig) {
    API_ElemTypeID type = 0;
    if (VTAPI_Element_NeigIDToTypeID(neig, &type) != ApiErr::NoError) return 0;
    return type;
}

void ElementHider::GetElemIdentifier(API_ElemTypeID type, API_Guid guid, char* typeName,
                                     char* idText) {
    typeName[0] = '\0';
    idText[0] = '\0';
    char name[kIdentifierSize] = {};
    if (VTAPI_Goodies(APISelector::GetTypeName, &type, name) == ApiErr::NoError)
        CHTruncate(name, typeName, kIdentifierSize);
    API_Element element;
    if (ReadElement(type, guid, element) != ApiErr::NoError)
        throw EElementHider(kThrownFrom, __LINE__, "");
    if (IsTypeHandledByPW(type)) {
        char id[sizeof(element.header.elemId) + 1] = {};
        std::memcpy(id, element.header.elemId, sizeof(element.header.elemId));
        CHTruncate(id, idText, kIdentifierSize);
    } else if (type == APIElem::Section || type == APIElem::Elevation) {
        // The ID text held as UTF-16.
        std::string text;
        const char16_t* units = element.cutPlane.name;
        const size_t count = sizeof(element.cutPlane.name) / sizeof(char16_t);
        for (size_t i = 0; i < count && units[i] != 0; ++i) {
            uint32_t cp = units[i];
            if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < count && units[i + 1] >= 0xDC00 &&
                units[i + 1] < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                ++i;
            } else if (cp >= 0xD800 && cp < 0xE000) {
                cp = 0xFFFD;
            }
            if (cp < 0x80) {
                text += char(cp);
            } else if (cp < 0x800) {
                text += char(0xC0 | (cp >> 6));
                text += char(0x80 | (cp & 0x3F));
            } else if (cp < 0x10000) {
                text += char(0xE0 | (cp >> 12));
                text += char(0x80 | ((cp >> 6) & 0x3F));
                text += char(0x80 | (cp & 0x3F));
            } else {
                text += char(0xF0 | (cp >> 18));
                text += char(0x80 | ((cp >> 12) & 0x3F));
                text += char(0x80 | ((cp >> 6) & 0x3F));
                text += char(0x80 | (cp & 0x3F));
            }
        }
        CHTruncate(text.c_str(), idText, kIdentifierSize);
    }
}

// ---- Around a showing --------------------------------------------------------------------------

int16_t ElementHider::MaterialWithLook(const char* name, const AppearanceProfile::Look& look,
                                       const API_RGBColor& defaultColour, bool useDefaultColour) {
    const API_RGBColor chosen = useDefaultColour
                                    ? defaultColour
                                    : API_RGBColor{look.red / 255.0, look.green / 255.0,
                                                   look.blue / 255.0};
    API_Attribute m;
    std::memset(&m, 0, sizeof(m));
    m.header.typeID = APIAttr::Material;
    CHTruncate(name, m.header.name, sizeof(m.header.name));
    if (VTAPI_Attribute_Search(&m) == ApiErr::NoError) {
        const auto index = static_cast<int16_t>(m.header.index);
        // Given the chosen colours when it shows others (as 0..255 values, the way a picture
        // shows them), so that a change of colours reaches every element that has it.
        API_Attribute now;
        std::memset(&now, 0, sizeof(now));
        now.header.typeID = APIAttr::Material;
        now.header.index = index;
        if (VTAPI_Attribute_Get(&now) != ApiErr::NoError) return index;
        auto byte = [](double v) {
            return static_cast<int>(std::lround(std::clamp(std::isfinite(v) ? v : 0.0, 0.0, 1.0) * 255));
        };
        const API_RGBColor& c = now.material.surfaceRGB;
        if (byte(c.f_red) == look.red && byte(c.f_green) == look.green &&
            byte(c.f_blue) == look.blue && now.material.transpPc == look.transparency)
            return index;
        now.material.surfaceRGB = chosen;
        now.material.transpPc = look.transparency;
        VTAPI_Attribute_Modify(&now, nullptr);
        return index;
    }
    std::memset(&m, 0, sizeof(m));
    m.header.typeID = APIAttr::Material;
    CHTruncate(name, m.header.name, sizeof(m.header.name));
    m.material.mtype = 0;
    m.material.ambientPc = 75;
    m.material.diffusePc = 75;
    m.material.specularPc = 75;
    m.material.transpPc = look.transparency;
    m.material.shine = 2500;
    m.material.surfaceRGB = chosen;
    m.material.specularRGB = {0.8, 0.8, 0.8};
    m.material.emissionRGB = {0.0, 0.0, 0.0};
    if (VTAPI_Attribute_Create(&m, nullptr) == ApiErr::NoError)
        return static_cast<int16_t>(m.header.index);
    char existing[sizeof(m.header.name)] = {};
    for (int32_t index = 1; index <= 255; ++index) {
        API_Attribute other;
        std::memset(&other, 0, sizeof(other));
        other.header.typeID = APIAttr::Material;
        other.header.index = index;
        if (VTAPI_Attribute_Get(&other) == ApiErr::NoError) {
            CHTruncate(other.header.name, existing, sizeof(existing));
            break;
        }
    }
    Report(ResId::MaterialReports, 1, {name, existing});
    return 0;
}

void ElementHider::MakeSureOfMaterials(const AppearanceProfile& colours) {
    const AppearanceProfile standard = AppearanceProfile::Default();
    int16_t done[TASK::kTypeCount] = {};
    for (short i = 0; i < TASK::kTypeCount; ++i) {
        char name[ResUtils::kStringBufferSize];
        ResUtils::LoadResourceString(name, ResId::TaskTypeMaterials, short(i + 1));
        const AppearanceProfile::TypeLook& look = colours.types[i];
        // The default colours make the material exactly as it always was made.
        const bool standardColour = look.underWay == standard.types[i].underWay;
        if (const int16_t index =
                MaterialWithLook(name, look.underWay, kMaterialColours[i], standardColour))
            materials[i] = index;
        if (!look.hasDone) continue;
        ResUtils::LoadResourceString(name, ResId::TaskTypeDoneMaterials, short(i + 1));
        done[i] = MaterialWithLook(name, look.done, {}, false);
    }
    if (std::memcmp(done, doneMaterials, sizeof(done)) != 0) {
        // Elements done look different now: what the last showing left cannot be trusted.
        std::memcpy(doneMaterials, done, sizeof(done));
        ForgetElemStates();
        trustedStamp = 0;
    }
    TellLegend();
}

void ElementHider::TellLegend() const {
    API_Legend legend;
    std::memset(&legend, 0, sizeof(legend));
    for (short i = 0; i < TASK::kTypeCount; ++i) {
        API_LegendEntry& e = legend.entries[legend.count++];
        e.underWayMaterial = materials[i];
        e.doneMaterial = doneMaterials[i];
        char name[ResUtils::kStringBufferSize];
        ResUtils::LoadResourceString(name, ResId::TaskTypeNames, short(i + 1));
        CHTruncate(name, e.name, sizeof(e.name));
    }
    // A host without legends draws none; nothing else depends on it.
    VTAPI_Environment(APISelector::SetLegend, &legend, nullptr);
}

void ElementHider::SetHostMode(int32_t mode) {
    if (VTAPI_Environment(APISelector::SetSingleElementMode, &mode, nullptr) != ApiErr::NoError)
        throw EElementHider(kThrownFrom, __LINE__, "");
}

void ElementHider::ApplyColours(const AppearanceProfile& colours) {
    UseOwnResFile own;
    MakeSureOfMaterials(colours);
}

void ElementHider::BeforeMovie(const DB& db) {
    UseOwnResFile own;
    problemCount = 0;
    MakeSureOfMaterials(db.prefs.appearance);
    RefreshNonManagedLayers();
    problemCount += db.ConsistencyCheckBeforeMovie();
    int32_t mode = 0;
    const bool known =
        VTAPI_Environment(APISelector::GetSingleElementMode, &mode, nullptr) == ApiErr::NoError;
    savedHostMode = mode;
    hostModeToGiveBack = known;
    if (known && mode == 0) SetHostMode(1);
    UnlockLayers();
    layersToLock = true;
}

void ElementHider::AfterMovie() {
    LockLayers();
    layersToLock = false;
    uint8_t everything = 1;
    if (VTAPI_Automate(APISelector::Rebuild, &everything, nullptr) != ApiErr::NoError)
        throw EElementHider(kThrownFrom, __LINE__, "");
    if (problemCount > 0) {
        char count[32];
        std::snprintf(count, sizeof(count), "%ld", static_cast<long>(problemCount));
        DGUtils::ResAlert(ResId::AlertProblemsWhileShowing, count);
    }
    if (hostModeToGiveBack) {
        hostModeToGiveBack = false;
        SetHostMode(savedHostMode);
    }
}

void ElementHider::BeforeFrame() { frameUnchanged = true; }

void ElementHider::AfterFrame() {}

void ElementHider::AbandonShowing() noexcept {
    try {
        if (layersToLock) LockLayers();
    } catch (...) {
    }
    layersToLock = false;
    if (hostModeToGiveBack) {
        hostModeToGiveBack = false;
        int32_t mode = savedHostMode;
        VTAPI_Environment(APISelector::SetSingleElementMode, &mode, nullptr);
    }
}
