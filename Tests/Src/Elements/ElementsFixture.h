#pragma once
// Tests of the element work: the add-on's units inside a stand-in host (table handed over,
// resources open, a scripted user agent) over a small project made by hand, a schedule of the
// test's own, and link records built byte by byte, independently of the code that writes them.
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "API/ApiAttributes.h"
#include "AddOn/Preferences.h"
#include "CadHost/Model/SampleElement.h"
#include "Elements/ElementHider.h"
#include "Model/Project.h"
#include "Model/SampleBuilding.h"
#include "Schedule/DB.h"
#include "Src/AddOn/ShellFixture.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace LinkBytes {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, size_t at, int v) {
    b[at] = uint8_t(v & 0xFF);
    b[at + 1] = uint8_t((v >> 8) & 0xFF);
}
inline void Put32(Bytes& b, size_t at, int64_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t((v >> (8 * i)) & 0xFF);
}

// The stored record: ten IDs from byte 0, then the saved values at their places.
struct Record {
    std::vector<int32_t> ids{};
    int hiddenFromLayer = 0;
    std::vector<int> pens{}, materials{}, materials2{}, pens2{};  // up to 3, 5, 3, 3
    int64_t switch1 = 0, switch2 = 0, switch3 = 0;

    Bytes Build() const {
        Bytes b(88, 0);
        for (size_t i = 0; i < ids.size(); ++i) Put32(b, 4 * i, ids[i]);
        Put16(b, 40, hiddenFromLayer);
        for (size_t i = 0; i < pens.size(); ++i) Put16(b, 42 + 2 * i, pens[i]);
        for (size_t i = 0; i < materials.size(); ++i) Put16(b, 48 + 2 * i, materials[i]);
        Put32(b, 60, switch1);
        Put32(b, 64, switch2);
        for (size_t i = 0; i < materials2.size(); ++i) Put16(b, 68 + 2 * i, materials2[i]);
        for (size_t i = 0; i < pens2.size(); ++i) Put16(b, 74 + 2 * i, pens2[i]);
        Put32(b, 84, switch3);
        return b;
    }
};

// A record of links and nothing saved.
inline Bytes LinksOnly(std::vector<int32_t> ids) { return Record{.ids = std::move(ids)}.Build(); }

}  // namespace LinkBytes

class ElementsTest : public HostedAddOnTest {
protected:
    void SetUp() override {
        HostedAddOnTest::SetUp();
        CadHost::ReplaceCurrentProject(std::make_unique<CadHost::Project>());
        CadHost::Project& p = CadHost::CurrentProject();
        p.AddLayer({"Visible", 0, 0});                         // 2
        p.AddLayer({"User Hidden", APILayerFlag::Hidden, 0});  // 3
        p.AddLayer({"Locked", APILayerFlag::Locked, 0});       // 4
        prefs.Create();
        db.Create();
        hider.Create();
    }
    void TearDown() override {
        CadHost::ReplaceCurrentProject(nullptr);
        HostedAddOnTest::TearDown();
    }

    static std::vector<std::string> ReportLines() { return ReportWindow::Lines(); }
    static CadHost::Project& Model() { return CadHost::CurrentProject(); }

    static API_Guid Add(API_ElemTypeID type, const std::string& id, int16_t layer = 1) {
        return Model().Add(ModelTest::SampleElement(type, id, layer)).guid;
    }
    static const CadHost::Element& Elem(const API_Guid& guid) { return *Model().Find(guid); }

    // Stores bytes as the element's user data, directly in the host's model.
    static void Store(const API_Guid& guid, const LinkBytes::Bytes& bytes, int32_t version = 103) {
        Model().Edit(guid)->userData = CadHost::UserData{version, 0x5757, bytes};
    }
    static LinkBytes::Bytes Stored(const API_Guid& guid) {
        const auto& data = Elem(guid).userData;
        return data ? data->bytes : LinkBytes::Bytes{};
    }

    // The tasks each handled type of the sample building is linked to; doors belong to two tasks
    // that overlap.
    static std::vector<int32_t> SampleTasksOf(API_ElemTypeID type) {
        static const std::map<API_ElemTypeID, std::vector<int32_t>> kTasks = {
            {APIElem::Column, {1}}, {APIElem::Beam, {1}},       {APIElem::Slab, {1}},
            {APIElem::Wall, {2}},   {APIElem::Window, {2}},     {APIElem::Door, {2, 4}},
            {APIElem::Roof, {3}},   {APIElem::Zone, {4}},       {APIElem::Object, {4}},
            {APIElem::Lamp, {4}},   {APIElem::CurtainWall, {4}}};
        const auto found = kTasks.find(type);
        return found != kTasks.end() ? found->second : std::vector<int32_t>{5};  // site works
    }
    // The sample building (two storeys, two bays) as the current project, its schedule in `d`, and
    // every handled element linked by SampleTasksOf; gives the records stored.
    static std::map<API_Guid, LinkBytes::Bytes> LinkSampleBuilding(DB& d) {
        CadHost::ReplaceCurrentProject(CadHost::SampleBuilding::Make(2, 2));
        using ScheduleBytes::Ticks;
        d.tasks = {
            MakeTask(1, Build, Ticks(2024, 1, 1), Ticks(2024, 3, 1), "Structure"),
            MakeTask(2, Build, Ticks(2024, 3, 1), Ticks(2024, 5, 1), "Walls and openings"),
            MakeTask(3, Build, Ticks(2024, 5, 1), Ticks(2024, 6, 1), "Roof"),
            MakeTask(4, TypeF, Ticks(2024, 3, 15), Ticks(2024, 4, 16), "Fit-out"),
            MakeTask(5, Temporary, Ticks(2024, 1, 1), Ticks(2024, 7, 1), "Site works"),
        };
        std::map<API_Guid, LinkBytes::Bytes> links;
        Model().ForEachElement([&](const CadHost::Element& e) {
            if (!ElementHider::IsTypeHandledByPW(e.type)) return;
            links[e.guid] = LinkBytes::LinksOnly(SampleTasksOf(e.type));
        });
        for (const auto& [guid, bytes] : links) Store(guid, bytes);
        return links;
    }

    Preferences prefs;
    ElementHider hider;
    DB db{prefs, hider};
};
