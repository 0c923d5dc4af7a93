// The host's share of showing the model at a date: the calls an add-on makes for every linked
// element of a sample building (read the link record and the element, unlock, write the record,
// change the element with a mask, lock again), inside one undo step and one mass-change bracket,
// on buildings of about 1,000, 10,000 and 100,000 elements. Measured apart from any add-on work,
// so that the host's cost per element is seen on its own:
//   Change   every linked element moves to a hidden layer (a first showing)
//   Read     every linked element is read and left alone (a showing that changes nothing)
//   Undo     the step of Change undone; `undoBytes` is the heap the step holds
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "API/ApiAttributes.h"
#include "API/ApiSlots.h"
#include "API/Elements.h"
#include "API/Selectors.h"
#include "BM.h"
#include "Model/Project.h"
#include "Model/SampleBuilding.h"
#include "Registry.h"

namespace {

using namespace CadHost;

constexpr API_ElemTypeID kLinkedTypes[] = {1,  2,  3,  4,  5,  6,  7,  8, 9,
                                           10, 17, 18, 19, 21, 22, 23, 37};

struct Size {
    int storeys, bays;
};
// About 1,000, 10,000 and 100,000 elements.
constexpr Size kSizes[] = {{3, 7}, {8, 15}, {16, 37}};

template <typename Fn>
Fn Slot(const ApiFunctionTable& t, int slot) {
    return reinterpret_cast<Fn>(t.slots[slot]);
}

// The function table as an add-on holds it.
struct Api {
    Api() : t(Registry::Get().BuildTable()) {}
    ApiFunctionTable t;
    ApiFn_Element_GetElemList getList =
        Slot<ApiFn_Element_GetElemList>(t, ApiSlot::Element_GetElemList);
    ApiFn_Element_Get get = Slot<ApiFn_Element_Get>(t, ApiSlot::Element_Get);
    ApiFn_Element_GetUserData getData =
        Slot<ApiFn_Element_GetUserData>(t, ApiSlot::Element_GetUserData);
    ApiFn_Element_SetUserData setData =
        Slot<ApiFn_Element_SetUserData>(t, ApiSlot::Element_SetUserData);
    ApiFn_Element_Change change = Slot<ApiFn_Element_Change>(t, ApiSlot::Element_Change);
    ApiFn_Element_Tool tool = Slot<ApiFn_Element_Tool>(t, ApiSlot::Element_Tool);
    ApiFn_Attribute_Search search = Slot<ApiFn_Attribute_Search>(t, ApiSlot::Attribute_Search);
    ApiFn_Attribute_Create create = Slot<ApiFn_Attribute_Create>(t, ApiSlot::Attribute_Create);
    ApiFn_Attribute_GetNum attrNum = Slot<ApiFn_Attribute_GetNum>(t, ApiSlot::Attribute_GetNum);
    ApiFn_Attribute_Get attrGet = Slot<ApiFn_Attribute_Get>(t, ApiSlot::Attribute_Get);
    ApiFn_Attribute_Modify attrModify = Slot<ApiFn_Attribute_Modify>(t, ApiSlot::Attribute_Modify);
    ApiFn_OpenUndoableSession open =
        Slot<ApiFn_OpenUndoableSession>(t, ApiSlot::OpenUndoableSession);
    ApiFn_CloseUndoableSession close =
        Slot<ApiFn_CloseUndoableSession>(t, ApiSlot::CloseUndoableSession);
};

const Api& TheApi() {
    static const Api api;
    return api;
}

// A sample building made the open project, every element of the linked types carrying an
// 88-byte link record, with a hidden layer to move elements to.
int16_t MakeLinkedBuilding(const Size& size, size_t& linked) {
    ReplaceCurrentProject(SampleBuilding::Make(size.storeys, size.bays));
    Project& p = CurrentProject();
    linked = 0;
    for (API_ElemTypeID type : kLinkedTypes) {
        for (int32_t i = 1; i <= static_cast<int32_t>(p.ElementsOfType(type).size()); ++i) {
            UserData d{103, 0x5757, std::vector<uint8_t>(88, 0)};
            std::memcpy(d.bytes.data(), &i, sizeof(i));
            p.Edit(type, i)->userData = std::move(d);
            ++linked;
        }
    }
    API_Attribute layer{};
    layer.header.typeID = APIAttr::Layer;
    std::strcpy(layer.header.name, "Not yet built");
    TheApi().create(&layer, nullptr);
    return static_cast<int16_t>(layer.header.index);
}

// Layers unlocked before the pass and locked again after it, as an add-on does.
std::vector<int32_t> UnlockLayers(const Api& api) {
    std::vector<int32_t> unlocked;
    int32_t count = 0;
    api.attrNum(APIAttr::Layer, &count);
    for (int32_t i = 1; i <= count; ++i) {
        API_Attribute a{};
        a.header.typeID = APIAttr::Layer;
        a.header.index = i;
        if (api.attrGet(&a) != 0 || (a.header.flags & APILayerFlag::Locked) == 0) continue;
        a.header.flags &= ~APILayerFlag::Locked;
        api.attrModify(&a, nullptr);
        unlocked.push_back(i);
    }
    return unlocked;
}

void LockLayers(const Api& api, const std::vector<int32_t>& unlocked) {
    for (int32_t i : unlocked) {
        API_Attribute a{};
        a.header.typeID = APIAttr::Layer;
        a.header.index = i;
        if (api.attrGet(&a) != 0) continue;
        a.header.flags |= APILayerFlag::Locked;
        api.attrModify(&a, nullptr);
    }
}

bool LockTool(const Api& api, API_Guid& guid, API_ElemTypeID type, GSType code) {
    GSHandle h = BMAllocateHandle(sizeof(API_Elem_Head), 0, 0);
    auto* head = reinterpret_cast<API_Elem_Head*>(*h);
    head->typeID = type;
    head->guid = guid;
    const bool ok = api.tool(h, 1, code, nullptr) == 0;
    guid = reinterpret_cast<API_Elem_Head*>(*h)->guid;
    BMKillHandle(&h);
    return ok;
}

// One pass over the model. With `toLayer` nonzero every linked element is moved there (its record
// rewritten first); with 0 every element is only read. Returns the elements changed.
size_t Pass(const Api& api, int16_t toLayer) {
    size_t changed = 0;
    api.open("Show");
    Registry::Get().Dispatch(Family::Goodies, APISelector::OpenMassChange, nullptr, nullptr);
    const std::vector<int32_t> unlocked = UnlockLayers(api);
    for (API_ElemTypeID type : kLinkedTypes) {
        GSHandle list = nullptr;
        if (api.getList(type, &list) != 0) continue;
        const auto* guids = reinterpret_cast<const API_Guid*>(*list);
        const int32_t n = BMGetHandleSize(list) / int32_t(sizeof(API_Guid));
        for (int32_t i = 0; i < n; ++i) {
            API_Guid guid = guids[i];
            API_Elem_Head head{};
            head.typeID = type;
            head.guid = guid;
            API_ElementUserData u{};
            u.platformSign = kApiPlatformSignLittleEndian;
            if (api.getData(&head, &u, 0) != 0) continue;
            uint8_t record[88];
            std::memcpy(record, *u.dataHdl, sizeof(record));
            BMKillHandle(&u.dataHdl);
            API_Element e, mask;
            std::memset(&e, 0, sizeof(e));
            std::memset(&mask, 0, sizeof(mask));
            e.header.typeID = type;
            e.header.guid = guid;
            if (api.get(&e, 0) != 0 || toLayer == 0) continue;
            const bool locked = e.header.lockId > 0;
            if (locked && !LockTool(api, guid, type, FourChar("ULCK"))) continue;
            std::memcpy(record + 40, &e.header.layer, 2);  // the layer it came from
            API_ElementUserData w{};
            w.dataVersion = 103;
            w.platformSign = kApiPlatformSignLittleEndian;
            w.dataHdl = BMAllocateHandle(sizeof(record), 0, 0);
            std::memcpy(*w.dataHdl, record, sizeof(record));
            head.guid = guid;
            const bool written = api.setData(&head, &w) == 0;
            BMKillHandle(&w.dataHdl);
            e.header.guid = guid;
            e.header.layer = toLayer;
            mask.header.layer = -1;
            if (written && api.change(&e, &mask, nullptr, 0, true) == 0) ++changed;
            if (locked) LockTool(api, guid, type, FourChar("LOCK"));
        }
        BMKillHandle(&list);
    }
    LockLayers(api, unlocked);
    Registry::Get().Dispatch(Family::Goodies, APISelector::CloseMassChange, nullptr, nullptr);
    api.close();
    return changed;
}

size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;  // small blocks and the large ones malloc maps
}

void BM_HostPass(benchmark::State& state) {
    const Size size = kSizes[state.range(0)];
    const bool change = state.range(1) != 0;
    const Api& api = TheApi();
    size_t linked = 0;
    const int16_t hidden = MakeLinkedBuilding(size, linked);
    size_t changed = 0;
    double undoBytes = 0;
    if (change) {
        // The heap the step of a first pass holds: nothing else grows during a pass.
        const size_t heap = HeapInUse();
        Pass(api, hidden);
        undoBytes = double(HeapInUse()) - double(heap);
    }
    for (auto _ : state) {
        if (change) {
            state.PauseTiming();
            std::string title;
            CurrentProject().Undo(title);
            state.ResumeTiming();
        }
        changed = Pass(api, change ? hidden : 0);
    }
    state.counters["elements"] = double(CurrentProject().ElementCount());
    state.counters["linked"] = double(linked);
    state.counters["changed"] = double(changed);
    if (change) state.counters["undoBytes"] = undoBytes;
    ReplaceCurrentProject(nullptr);
}
BENCHMARK(BM_HostPass)
    ->ArgsProduct({{0, 1, 2}, {1, 0}})
    ->ArgNames({"size", "change"})
    ->Unit(benchmark::kMillisecond);

void BM_HostUndo(benchmark::State& state) {
    const Api& api = TheApi();
    size_t linked = 0;
    const int16_t hidden = MakeLinkedBuilding(kSizes[state.range(0)], linked);
    for (auto _ : state) {
        state.PauseTiming();
        Pass(api, hidden);
        state.ResumeTiming();
        std::string title;
        CurrentProject().Undo(title);
    }
    state.counters["linked"] = double(linked);
    ReplaceCurrentProject(nullptr);
}
BENCHMARK(BM_HostUndo)->DenseRange(0, 2)->ArgName("size")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
