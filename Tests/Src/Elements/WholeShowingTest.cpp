// Whole showings on the sample building: every handled element linked, the model shown before,
// during and after its schedule and then whole again ends exactly as it began, also when the
// project was saved half-way and opened again in a fresh host; and the picture of the building
// half-way shows the task types' colours.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Elements/ModifyModel.h"
#include "Model/ProjectFile.h"
#include "Model/SampleBuilding.h"
#include "Platform/FileTestSupport.h"
#include "Render/Image.h"
#include "Render/PictureMaker.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

using namespace ScheduleBytes;
using CadHost::Element;
using LinkBytes::Bytes;
using LinkBytes::Record;

Element Bare(Element e) {
    e.stamp = 0;
    e.userData = std::nullopt;
    return e;
}

// The task each handled type is linked to (a second one for some).
std::vector<int32_t> TasksOf(API_ElemTypeID type) {
    switch (type) {
        case APIElem::Column: case APIElem::Beam: case APIElem::Slab: return {1};
        case APIElem::Wall: case APIElem::Window: case APIElem::Door: return {2};
        case APIElem::Roof: return {3};
        case APIElem::Zone: case APIElem::Object: case APIElem::Lamp:
        case APIElem::CurtainWall: return {4};
        default: return {5};  // the terrain and the 2D elements: site works
    }
}

class WholeShowingTest : public ElementsTest {
protected:
    void SetUp() override {
        ElementsTest::SetUp();
        CadHost::ReplaceCurrentProject(CadHost::SampleBuilding::Make(2, 2));
        // One element of every handled type the sample may lack, on a layer of its own.
        for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type)
            if (ElementHider::IsTypeHandledByPW(type) && Model().ElementsOfType(type).empty())
                Add(type, "extra " + std::to_string(type));
        db.tasks = {
            MakeTask(1, Build, Ticks(2024, 1, 1), Ticks(2024, 3, 1), "Structure"),
            MakeTask(2, Build, Ticks(2024, 3, 1), Ticks(2024, 5, 1), "Walls and openings"),
            MakeTask(3, Build, Ticks(2024, 5, 1), Ticks(2024, 6, 1), "Roof"),
            MakeTask(4, TypeF, Ticks(2024, 3, 15), Ticks(2024, 4, 16), "Fit-out"),
            MakeTask(5, Temporary, Ticks(2024, 1, 1), Ticks(2024, 7, 1), "Site works"),
        };
        Model().ForEachElement([&](const Element& e) {
            if (!ElementHider::IsTypeHandledByPW(e.type)) return;
            Record r;
            r.ids = TasksOf(e.type);
            links[e.guid] = r.Build();
        });
        for (const auto& [guid, bytes] : links) Store(guid, bytes);
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

TEST_F(WholeShowingTest, BeforeDuringAfterThenAllEndsAsItBegan) {
    std::set<API_ElemTypeID> types;
    for (const auto& [guid, bytes] : links) types.insert(Model().Find(guid)->type);
    EXPECT_EQ(types.size(), 17u) << "every handled type is linked";

    ShowAt(Ticks(2023, 12, 1));
    const int16_t hidden = static_cast<int16_t>(Model().FindLayer(ElementHider::HiddenLayerName));
    const int16_t furniture = static_cast<int16_t>(Model().FindLayer("Furniture"));
    const int16_t foundations = static_cast<int16_t>(Model().FindLayer("Foundations"));
    size_t onHidden = 0;
    Model().ForEachElement([&](const Element& e) {
        if (e.layer == hidden) ++onHidden;
        if (start[e.guid].layer == furniture) {
            EXPECT_EQ(Bare(e), start[e.guid]) << "user-hidden";
        }
    });
    EXPECT_GT(onHidden, 20u);
    EXPECT_TRUE(Model().LayerLocked(foundations));

    ShowAt(Ticks(2024, 4, 1, 12));
    ShowAt(Ticks(2024, 7, 15));
    ShowWholeModel(db, hider, "Show All");
    ExpectAsItBegan();
}

TEST_F(WholeShowingTest, SavedHalfWayAndOpenedInAFreshHostTheWholeModelComesBack) {
    ShowAt(Ticks(2024, 4, 1, 12));
    FileTest::TempFolder folder;
    const std::string path = folder / "half way.cadhost";
    std::string error;
    ASSERT_TRUE(CadHost::ProjectFile::Save(Model(), path, error)) << error;
    CadHost::ReplaceCurrentProject(std::make_unique<CadHost::Project>());

    auto opened = CadHost::ProjectFile::Open(path, error);
    ASSERT_NE(opened, nullptr) << error;
    CadHost::ReplaceCurrentProject(std::move(opened));
    Preferences freshPrefs;
    ElementHider freshHider;
    DB freshDb(freshPrefs, freshHider);
    freshPrefs.Create();
    freshDb.Create();
    freshHider.Create();
    ShowWholeModel(freshDb, freshHider, "Show All");
    ExpectAsItBegan();
}

// Pixels of a pure colour: only the named channels lit (shading scales every channel alike).
size_t CountPure(const CadHost::Render::Image& image, bool r, bool g, bool b) {
    size_t n = 0;
    for (uint32_t p : image.Pixels()) {
        const uint32_t pr = (p >> 16) & 0xFF, pg = (p >> 8) & 0xFF, pb = p & 0xFF;
        if ((pr > 40) == r && (pg > 40) == g && (pb > 40) == b && (!r || pr > 40) &&
            (r || pr == 0) && (g || pg == 0) && (b || pb == 0))
            ++n;
    }
    return n;
}

TEST_F(WholeShowingTest, TheStillHalfWayShowsHiddenAndRecolouredElements) {
    using CadHost::Render::Image;
    using CadHost::Render::PictureKind;
    using CadHost::Render::PictureMaker;
    std::string error;
    Image before, halfWay, after;
    ASSERT_TRUE(PictureMaker::Make(PictureKind::Window, nullptr, before, error)) << error;
    // Opaque colours under way, so that they read pure (by default they are 30 % see-through).
    for (AppearanceProfile::TypeLook& t : prefs.appearance.types) t.underWay.transparency = 0;
    ShowAt(Ticks(2024, 4, 1, 12));
    ASSERT_TRUE(PictureMaker::Make(PictureKind::Window, nullptr, halfWay, error)) << error;
    EXPECT_EQ(CountPure(before, false, true, false), 0u);
    EXPECT_EQ(CountPure(before, false, false, true), 0u);
    EXPECT_GT(CountPure(halfWay, false, true, false), 100u) << "walls under way: Build green";
    EXPECT_GT(CountPure(halfWay, false, false, true), 100u) << "fit-out under way: blue";
    const int16_t hidden = static_cast<int16_t>(Model().FindLayer(ElementHider::HiddenLayerName));
    for (const Element& roof : Model().ElementsOfType(APIElem::Roof))
        EXPECT_EQ(roof.layer, hidden) << "the roof is still to come";
    ShowWholeModel(db, hider, "Show All");
    ASSERT_TRUE(PictureMaker::Make(PictureKind::Window, nullptr, after, error)) << error;
    EXPECT_EQ(after.Pixels(), before.Pixels()) << "the same picture once everything is back";
}

}  // namespace

// A done colour chosen for Build: walls done take its material (made with that colour), walls
// under way the under-way one; with the done colour given up they get their own materials back
// at the next showing, and show all ends everything as it began.
TEST_F(WholeShowingTest, ADoneColourPaintsTheElementsDoneUntilItIsGivenUp) {
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
