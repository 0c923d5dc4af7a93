// Element filters, element lists per type, part codes, the selection and the attributes, as the
// add-on uses them.
#include <vector>

#include "API/Selection.h"
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

class FilterTest : public ModelFixture {
protected:
    void SetUp() override {
        ModelFixture::SetUp();
        plain = Add(APIElem::Wall, "plain").guid;
        locked = Add(APIElem::Wall, "locked").guid;
        onHidden = Add(APIElem::Wall, "onHidden", 3).guid;
        onLocked = Add(APIElem::Wall, "onLocked", 4).guid;
        owned = Add(APIElem::Wall, "owned").guid;
        CurrentProject().Edit(locked)->locked = true;
        CurrentProject().Edit(owned)->owner = 2;
    }
    API_Guid plain{}, locked{}, onHidden{}, onLocked{}, owned{};
};

// 0: exists and is editable; 6: on a visible layer and selectable; 1: not locked itself.
TEST_F(FilterTest, FlagsMeanWhatTheyAreDocumentedToMean) {
    struct Case {
        const API_Guid* guid;
        int32_t bits;
        bool passes;
    };
    const Case cases[] = {
        {&plain, 0, true},    {&plain, 6, true},     {&plain, 1, true},    {&locked, 0, true},
        {&locked, 6, true},   {&locked, 1, false},   {&onHidden, 0, true}, {&onHidden, 6, false},
        {&onHidden, 4, true}, {&onHidden, 2, false}, {&onLocked, 0, true}, {&onLocked, 6, false},
        {&onLocked, 2, true}, {&onLocked, 4, false}, {&owned, 0, true},    {&owned, 6, true},
        {&plain, 8, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(api.Element_Filter(c.guid, c.bits, 0), c.passes)
            << "element " << CurrentProject().Find(*c.guid)->id << " bits " << c.bits;
    }
    // Signed in as user 2: only the element user 2 owns passes; the others belong to nobody.
    SignIn(2);
    EXPECT_TRUE(api.Element_Filter(&owned, 6, APIElem::Wall));
    EXPECT_FALSE(api.Element_Filter(&plain, 0, 0));
    SignIn(1);
    EXPECT_FALSE(api.Element_Filter(&owned, 0, 0));
    SignIn(0);

    // The type, when given, must agree; an index names the element among those of its type.
    EXPECT_FALSE(api.Element_Filter(&plain, 0, APIElem::Slab));
    API_Guid unknown = plain;
    unknown.bytes[0] ^= 0x55;
    EXPECT_FALSE(api.Element_Filter(&unknown, 0, 0));
    EXPECT_TRUE(api.Element_Filter_Index(APIElem::Wall, 1, 6));
    EXPECT_FALSE(api.Element_Filter_Index(APIElem::Wall, 3, 6)) << "on the hidden layer";
    EXPECT_FALSE(api.Element_Filter_Index(APIElem::Wall, 6, 0)) << "there are five walls";
}

class SelectionTest : public FilterTest {
protected:
    // The selection's elements; `info` keeps the rest of what the call hands out.
    std::vector<API_Guid> Selected(bool onlyEditable) {
        BMKillHandle(&info.marquee.coords);
        info = {};
        GSHandle neigs = nullptr;
        EXPECT_EQ(api.Selection_Get(&info, &neigs, onlyEditable), 0);
        std::vector<API_Guid> out;
        const auto* n = reinterpret_cast<const API_Neig*>(*neigs);
        for (int32_t i = 0; i < BMGetHandleSize(neigs) / int32_t(sizeof(API_Neig)); ++i) {
            API_ElemTypeID type = 0;
            EXPECT_EQ(api.Element_NeigIDToTypeID(n[i].neigID, &type), 0);
            EXPECT_EQ(type, CurrentProject().Find(n[i].guid)->type);
            out.push_back(n[i].guid);
        }
        BMKillHandle(&neigs);
        return out;
    }
    void TearDown() override {
        BMKillHandle(&info.marquee.coords);
        FilterTest::TearDown();
    }
    GSErrCode SelectGuids(const std::vector<API_Guid>& guids, bool add) {
        std::vector<API_Neig> neigs(guids.size());
        for (size_t i = 0; i < guids.size(); ++i) neigs[i].guid = guids[i];
        return api.Element_Select(neigs.data(), int32_t(neigs.size()), add);
    }
    API_SelectionInfo info{};
};

TEST_F(SelectionTest, SelectedElementsComeBackInTheirOrder) {
    EXPECT_TRUE(Selected(false).empty());
    EXPECT_EQ(info.typeID, APISel::Empty);
    ASSERT_EQ(SelectGuids({owned, plain, locked, onHidden, onLocked}, true), 0);
    const std::vector<API_Guid> expected = {owned, plain, locked};
    EXPECT_EQ(Selected(false), expected) << "hidden and locked layers cannot be selected";
    EXPECT_EQ(info.typeID, APISel::Elements);
    EXPECT_EQ(info.sel_nElem, 3);
    SignIn(2);
    EXPECT_EQ(Selected(true), std::vector<API_Guid>{owned});
    EXPECT_EQ(info.sel_nElemEdit, 1);
    ASSERT_EQ(SelectGuids({plain}, false), 0);
    EXPECT_EQ(Selected(false), (std::vector<API_Guid>{owned, locked}));
    API_Guid unknown = plain;
    unknown.bytes[9] ^= 1;
    EXPECT_EQ(SelectGuids({plain, unknown}, true), ApiErr::BadId);
    EXPECT_EQ(Selected(false).size(), 2u) << "nothing changes when one is unknown";
    ASSERT_EQ(api.Element_Select(nullptr, 0, true), 0);
    EXPECT_TRUE(Selected(false).empty());
}

TEST_F(SelectionTest, AMarqueeHandsOutItsPolygonAndTheElementsInside) {
    // The walls all stand at (0,0)-(1,1); a slab far away is outside.
    Add(APIElem::Slab, "far");
    CurrentProject().Edit(APIElem::Slab, 1)->body[0].outline = {{50, 50}, {51, 50}, {51, 51}};
    CurrentProject().SetMarquee({APISel::MarqueePoly, {{-1, -1}, {2, -1}, {0.5, 3}}});
    const auto inside = Selected(false);
    EXPECT_EQ(info.typeID, APISel::MarqueePoly);
    ASSERT_EQ(info.marquee.nCoords, 3);
    ASSERT_EQ(BMGetHandleSize(info.marquee.coords), 3 * int32_t(sizeof(API_Coord)));
    const auto* c = reinterpret_cast<const API_Coord*>(*info.marquee.coords);
    EXPECT_DOUBLE_EQ(c[2].x, 0.5);
    EXPECT_DOUBLE_EQ(c[2].y, 3);
    const std::vector<API_Guid> expected = {plain, locked, onLocked, owned};
    EXPECT_EQ(inside, expected) << "elements on the hidden layer are not taken";
}

using AttributeTest = ModelFixture;

TEST_F(AttributeTest, SearchCreateAndModifyLayersAndMaterials) {
    API_Attribute a{};
    a.header.typeID = APIAttr::Layer;
    std::strcpy(a.header.name, "Phasework hidden");
    EXPECT_EQ(api.Attribute_Search(&a), static_cast<GSErrCode>(0x81060067));
    ASSERT_EQ(api.Attribute_Create(&a, nullptr), 0);
    EXPECT_EQ(a.header.index, 5);
    EXPECT_EQ(api.Attribute_Create(&a, nullptr), ApiErr::BadName) << "the name is taken";
    API_Attribute found{};
    found.header.typeID = APIAttr::Layer;
    std::strcpy(found.header.name, "PHASEWORK HIDDEN");
    ASSERT_EQ(api.Attribute_Search(&found), 0);
    EXPECT_EQ(found.header.index, 5);
    found.header.flags = APILayerFlag::Hidden | 0x100;
    ASSERT_EQ(api.Attribute_Modify(&found, nullptr), 0);
    EXPECT_TRUE(CurrentProject().LayerHidden(5));
    EXPECT_EQ(CurrentProject().LayerAt(5)->name, "Phasework hidden") << "the name stays";
    EXPECT_EQ(found.header.flags, APILayerFlag::Hidden) << "unknown flags are not kept";
    API_Attribute renamed = Attribute(APIAttr::Layer, 2);
    std::strcpy(renamed.header.name, "hidden");
    EXPECT_EQ(api.Attribute_Modify(&renamed, nullptr), ApiErr::BadName) << "another's name";
    EXPECT_EQ(CurrentProject().LayerAt(2)->name, "Visible");

    // A task-type material as the add-on makes it, with a colour channel far above 1.
    API_Attribute m{};
    m.header.typeID = APIAttr::Material;
    std::strcpy(m.header.name, "Type R");
    m.material.surfaceRGB = {100.0, 100.0, 100.0};
    m.material.specularRGB = {0.8, 0.8, 0.8};
    ASSERT_EQ(api.Attribute_Create(&m, nullptr), 0);
    const API_Attribute back = Attribute(APIAttr::Material, m.header.index);
    EXPECT_STREQ(back.header.name, "Type R");
    EXPECT_DOUBLE_EQ(back.material.surfaceRGB.f_red, 1.0) << "colours are kept within 0..1";
    EXPECT_DOUBLE_EQ(back.material.specularRGB.f_blue, 0.8);
}

}  // namespace
}  // namespace ModelTest
