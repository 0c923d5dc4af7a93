// Whole showings on the sample building: every handled element linked, the model shown at dates
// of its schedule and then whole again ends exactly as it began.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Elements/ModifyModel.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

using namespace ScheduleBytes;
using CadHost::Element;
using LinkBytes::Bytes;

Element Bare(Element e) {
    e.stamp = 0;
    e.userData = std::nullopt;
    return e;
}

class WholeShowingTest : public ElementsTest {
protected:
    void SetUp() override {
        ElementsTest::SetUp();
        links = LinkSampleBuilding(db);
        // One element of every handled type the sample may lack.
        for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type)
            if (ElementHider::IsTypeHandledByPW(type) && Model().ElementsOfType(type).empty()) {
                const API_Guid guid = Add(type, "extra " + std::to_string(type));
                Store(guid, links[guid] = LinkBytes::LinksOnly(SampleTasksOf(type)));
            }
        Snapshot();
    }

    void Snapshot() {
        Model().ForEachElement([&](const Element& e) { start[e.guid] = Bare(e); });
        startLayers = Model().Layers();
    }
    void ShowAt(int64_t ticks) {
        db.SetCurrentDate(AtTicks(ticks), false);
        ShowModelAtCurrentDate(db, hider, "Show");
    }

    // Every element as it began; records hold the links and nothing saved (but the curtain wall's
    // third switch, which stays); the user's layers as they were.
    void ExpectAsItBegan() {
        size_t seen = 0;
        Model().ForEachElement([&](const Element& e) {
            ++seen;
            ASSERT_EQ(start.count(e.guid), 1u) << e.id;
            EXPECT_EQ(Bare(e), start[e.guid]) << "type " << e.type << " " << e.id;
            if (!ElementHider::IsTypeHandledByPW(e.type)) {
                EXPECT_FALSE(e.userData.has_value()) << e.id;
                return;
            }
            Bytes expected = links[e.guid];
            if (e.type == APIElem::CurtainWall) expected[84] = 1;
            ASSERT_TRUE(e.userData.has_value()) << e.id;
            EXPECT_EQ(e.userData->bytes, expected) << "type " << e.type << " " << e.id;
        });
        EXPECT_EQ(seen, start.size());
        ASSERT_EQ(Model().Layers().size(), startLayers.size() + 1) << "and the hidden layer";
        for (size_t i = 0; i < startLayers.size(); ++i)
            EXPECT_EQ(Model().Layers()[i], startLayers[i]) << startLayers[i].name;
        EXPECT_TRUE(Model().Layers().back().Hidden());
    }

    std::map<API_Guid, Bytes> links;
    std::map<API_Guid, Element> start;
    std::vector<CadHost::Layer> startLayers;
};

// Every handled type linked and shown before, during and after the schedule; a done colour
// chosen for Build paints the walls done with its own material, walls under way take the
// under-way one, and with the done colour given up they get their own materials back at the next
// showing. Show all then ends everything as it began.
TEST_F(WholeShowingTest, ShowingsWithADoneColourThenAllEndAsItBegan) {
    std::set<API_ElemTypeID> types;
    for (const auto& [guid, bytes] : links) types.insert(Model().Find(guid)->type);
    EXPECT_EQ(types.size(), 17u) << "every handled type is linked";
    ShowAt(Ticks(2023, 12, 1));
    const int16_t hidden = static_cast<int16_t>(Model().FindLayer(ElementHider::HiddenLayerName));
    const int16_t furniture = static_cast<int16_t>(Model().FindLayer("Furniture"));
    size_t onHidden = 0;
    Model().ForEachElement([&](const Element& e) {
        onHidden += e.layer == hidden;
        if (start[e.guid].layer == furniture) {
            EXPECT_EQ(Bare(e), start[e.guid]) << "user-hidden";
        }
    });
    EXPECT_GT(onHidden, 20u);

    AppearanceProfile::TypeLook& build = prefs.appearance.types[Build];
    build.hasDone = true;
    build.done = {64, 32, 16, 0};
    auto wallMaterials = [&] {
        std::set<int32_t> used;
        for (const Element& wall : Model().ElementsOfType(APIElem::Wall))
            for (int16_t m : wall.Materials()) used.insert(m);
        return used;
    };
    ShowAt(Ticks(2024, 7, 15));  // walls done
    const int32_t done = Model().FindMaterial("Phasework Build Done");
    ASSERT_GT(done, 0);
    const CadHost::Material* m = Model().MaterialAt(done);
    EXPECT_NEAR(m->surface.r * 255, 64, 1e-9);
    EXPECT_NEAR(m->surface.g * 255, 32, 1e-9);
    EXPECT_NEAR(m->surface.b * 255, 16, 1e-9);
    EXPECT_EQ(m->transparency, 0);
    EXPECT_EQ(wallMaterials(), std::set<int32_t>{done});
    ShowAt(Ticks(2024, 4, 1, 12));  // walls under way
    EXPECT_EQ(wallMaterials(), std::set<int32_t>{Model().FindMaterial("Phasework Build")});

    build.hasDone = false;
    ShowAt(Ticks(2024, 7, 15));
    EXPECT_EQ(wallMaterials().count(done), 0u);
    std::set<int32_t> own;
    for (const Element& wall : Model().ElementsOfType(APIElem::Wall))
        for (int16_t k : start[wall.guid].Materials()) own.insert(k);
    EXPECT_EQ(wallMaterials(), own);
    ShowWholeModel(db, hider, "Show All");
    ExpectAsItBegan();
}

}  // namespace
