// Undo and redo: everything changed between opening and closing an undo step goes back exactly
// on undo and comes again on redo.
#include <vector>

#include "API/Selectors.h"
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

class UndoTest : public ModelFixture {
protected:
    // Everything an add-on can read of the project, as bytes: every element record (without its
    // change count) with its user data, and every pen, layer and material record.
    std::vector<std::string> Snapshot() const {
        std::vector<std::string> out;
        for (API_ElemTypeID type = 1; type <= 42; ++type) {
            int32_t count = 0;
            EXPECT_EQ(api.Element_GetNum(type, &count), 0);
            for (int32_t i = 1; i <= count; ++i) {
                API_Element e = ByIndex(type, i);
                e.header.modiStamp = 0;
                std::string& s = out.emplace_back(reinterpret_cast<const char*>(&e), sizeof(e));
                API_ElementUserData u{};
                if (api.Element_GetUserData(&e.header, &u, 0u) != 0) continue;
                s += "|v" + std::to_string(u.dataVersion) + "|" +
                     std::string(*u.dataHdl, size_t(BMGetHandleSize(u.dataHdl)));
                BMKillHandle(&u.dataHdl);
            }
        }
        for (int32_t kind : {APIAttr::Pen, APIAttr::Layer, APIAttr::Material}) {
            int32_t count = 0;
            EXPECT_EQ(api.Attribute_GetNum(kind, &count), 0);
            for (int32_t i = 1; i <= count; ++i) {
                const API_Attribute a = Attribute(kind, i);
                out.emplace_back(reinterpret_cast<const char*>(&a), sizeof(a));
            }
        }
        return out;
    }

    void SetUp() override {
        ModelFixture::SetUp();
        wall = Add(APIElem::Wall, "W-1", 2).guid;
        column = Add(APIElem::Column, "C-1", 4).guid;
        slab = Add(APIElem::Slab, "SL-1").guid;
        ASSERT_EQ(SetData(slab, "old links"), 0);
    }

    // What the add-on does in one showing: a hidden layer, a recoloured wall, user data written
    // and deleted, a layer unlocked, a material changed, an element locked.
    void ChangeEverything() {
        API_Attribute layer{};
        layer.header.typeID = APIAttr::Layer;
        std::strcpy(layer.header.name, "Phasework hidden");
        layer.header.flags = APILayerFlag::Hidden;
        ASSERT_EQ(api.Attribute_Create(&layer, nullptr), 0);
        API_Element r = Get(wall), mask{};
        r.header.layer = static_cast<int16_t>(layer.header.index);
        r.wall.contPen = 251;
        r.wall.refMat = 5;
        r.wall.materialsChained = false;
        mask.header.layer = mask.wall.contPen = mask.wall.refMat = -1;
        mask.wall.materialsChained = 1;
        ASSERT_EQ(Change(r, mask), 0);
        ASSERT_EQ(SetData(wall, std::string(88, '\x01')), 0);
        API_Elem_Head h = HeadOf(slab);
        ASSERT_EQ(api.Element_DeleteUserData(&h), 0);
        API_Attribute locked = Attribute(APIAttr::Layer, 4);
        locked.header.flags = 0;
        ASSERT_EQ(api.Attribute_Modify(&locked, nullptr), 0);
        API_Attribute material = Attribute(APIAttr::Material, 3);
        material.material.surfaceRGB = {0.1, 0.2, 0.3};
        ASSERT_EQ(api.Attribute_Modify(&material, nullptr), 0);
        ASSERT_EQ(Tool(column, "LOCK"), 0);
    }

    API_Guid wall{}, column{}, slab{};
};

// Each step goes back whole, the last first, with the steps nested in it; a new step ends the
// redos.
TEST_F(UndoTest, StepsUndoInTurnRestoringEverythingAndRedoAppliesThemAgain) {
    const auto s0 = Snapshot();
    ASSERT_EQ(api.OpenUndoableSession("one"), 0);
    ASSERT_EQ(SetData(wall, "first"), 0);
    ASSERT_EQ(api.CloseUndoableSession(), 0);
    const auto s1 = Snapshot();
    ASSERT_EQ(api.OpenUndoableSession("Show"), 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::OpenMassChange), 0);
    ASSERT_EQ(api.OpenUndoableSession("inner"), 0);
    ChangeEverything();
    ASSERT_EQ(api.CloseUndoableSession(), 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), 0);
    ASSERT_EQ(api.CloseUndoableSession(), 0);
    const auto s2 = Snapshot();
    ASSERT_NE(s2, s1);
    std::string title;
    ASSERT_TRUE(CurrentProject().Undo(title));
    EXPECT_EQ(title, "Show");
    EXPECT_EQ(Snapshot(), s1);
    EXPECT_EQ(CurrentProject().FindLayer("Phasework hidden"), 0) << "the new layer is gone";
    ASSERT_TRUE(CurrentProject().Redo(title));
    EXPECT_EQ(Snapshot(), s2);
    ASSERT_TRUE(CurrentProject().Undo(title));
    ASSERT_TRUE(CurrentProject().Undo(title));
    EXPECT_EQ(title, "one");
    EXPECT_EQ(Snapshot(), s0);
    EXPECT_FALSE(CurrentProject().Undo(title));
    ASSERT_TRUE(CurrentProject().Redo(title));
    EXPECT_EQ(Snapshot(), s1);
    ASSERT_EQ(api.OpenUndoableSession("three"), 0);
    ASSERT_EQ(SetData(wall, "third"), 0);
    EXPECT_FALSE(CurrentProject().Undo(title)) << "nothing is undone while a step is open";
    ASSERT_EQ(api.CloseUndoableSession(), 0);
    EXPECT_FALSE(CurrentProject().Redo(title)) << "step Show cannot come back after step three";
    EXPECT_EQ(api.CloseUndoableSession(), ApiErr::NotDone) << "closing what is not open";
}

// An element's shape (outline, plan, imported triangles) is not part of what a step keeps: it
// must still be there, exactly as it was made, however often its step is undone and redone.
TEST_F(UndoTest, TheShapeStaysThroughUndoAndRedo) {
    Element shaped = SampleElement(APIElem::Wall, "W-2", 1);
    shaped.body.push_back({{{0, 0}, {0.3, 0}, {0.3, 4}}, 3, 3.25, 2});
    shaped.plan = {{1, 1}, {2, 3}};
    shaped.meshes = {{{{0, 0, 0}, {1, 0, 0}, {0, 1, 2}}, {0, 1, 2}, 1}};
    const Element made = CurrentProject().Add(shaped);
    ASSERT_EQ(api.OpenUndoableSession("recolour"), 0);
    API_Element r = Get(made.guid), mask{};
    r.wall.contPen = 251;
    mask.wall.contPen = -1;
    ASSERT_EQ(Change(r, mask), 0);
    ASSERT_EQ(api.CloseUndoableSession(), 0);
    std::string title;
    for (int round = 0; round < 4; ++round) {
        const bool undone = round % 2 == 0;
        ASSERT_TRUE(undone ? CurrentProject().Undo(title) : CurrentProject().Redo(title));
        Element now = *CurrentProject().Find(made.guid);
        EXPECT_EQ(now.pens[0], undone ? made.pens[0] : 251) << round;
        now.pens[0] = made.pens[0];
        now.stamp = made.stamp;
        EXPECT_EQ(now, made) << round << ": nothing else changes, the shape included";
        EXPECT_DOUBLE_EQ(Get(made.guid).wall.topZ, 3.25);
    }
}

}  // namespace
}  // namespace ModelTest
