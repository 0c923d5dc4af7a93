// Reading and changing elements through the function table: a change mask changes exactly the
// masked fields; locks, layers, owners and the current database stand in the way with the codes
// the add-on tells apart; elements are found by GUID in any order, also after a GUID changes;
// only real changes count; the add-on's user data; the selector calls about databases, type
// names and the mass-change bracket.
#include <cstddef>
#include <functional>
#include <vector>

#include "API/Database.h"
#include "API/Selectors.h"
#include "Model/ElementDefaults.h"
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

// One masked field of a change: where it sits in the record and the bytes to write there.
struct MaskedField {
    size_t offset;
    std::vector<uint8_t> value;
};

template <typename T>
MaskedField Field(size_t offset, T value) {
    std::vector<uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return {offset, bytes};
}

MaskedField TextField(size_t offset, const char* text) {
    std::vector<uint8_t> bytes(64, 0);
    std::memcpy(bytes.data(), text, std::strlen(text));
    return {offset, bytes};
}

struct MaskCase {
    API_ElemTypeID type;
    std::vector<MaskedField> fields;
};

class ElementMaskTest : public ModelFixture, public ::testing::WithParamInterface<MaskCase> {};

// Every other byte of the record is scribbled on; only the masked fields may take effect, so the
// record read back is the old record with exactly those bytes replaced (and a newer stamp).
TEST_P(ElementMaskTest, OnlyMaskedFieldsChange) {
    const MaskCase& c = GetParam();
    const API_Guid guid = Add(c.type, "E-1", 2).guid;
    const API_Element before = Get(guid);

    API_Element request;
    std::memset(&request, 0x07, sizeof(request));
    request.header.typeID = c.type;
    request.header.guid = guid;
    API_Element mask{};
    API_Element expected = before;
    for (const MaskedField& f : c.fields) {
        std::memcpy(request.raw + f.offset, f.value.data(), f.value.size());
        std::memset(mask.raw + f.offset, 0xFF, f.value.size());
        std::memcpy(expected.raw + f.offset, f.value.data(), f.value.size());
    }
    ASSERT_EQ(Change(request, mask), 0);
    API_Element after = Get(guid);
    EXPECT_GT(after.header.modiStamp, before.header.modiStamp);
    after.header.modiStamp = expected.header.modiStamp = 0;
    for (size_t i = 0; i < sizeof(API_Element); ++i) ASSERT_EQ(after.raw[i], expected.raw[i]) << i;
    EXPECT_TRUE(request.header.guid == guid) << "the record handed back names the same element";
}

INSTANTIATE_TEST_SUITE_P(
    Types, ElementMaskTest,
    ::testing::Values(MaskCase{APIElem::Wall,  // second pen, middle material, layer
                               {Field(offsetof(API_WallType, contPen3D), int16_t(42)),
                                Field(offsetof(API_WallType, oppMat), int16_t(7)),
                                Field(offsetof(API_Elem_Head, layer), int16_t(1))}},
                      MaskCase{APIElem::Wall,  // switches off, ID text
                               {Field(offsetof(API_WallType, materialsChained), uint8_t(0)),
                                Field(offsetof(API_WallType, oppMatOverride), uint8_t(0)),
                                TextField(offsetof(API_Elem_Head, elemId), "W-renamed")}},
                      MaskCase{APIElem::Beam,  // last pen and material
                               {Field(offsetof(API_BeamType, holePen), int16_t(251)),
                                Field(offsetof(API_BeamType, holeMat), int16_t(9))}},
                      MaskCase{APIElem::Object,  // pen, library part
                               {Field(offsetof(API_ObjectType, pen), int16_t(3)),
                                Field(offsetof(API_ObjectType, libInd), int32_t(12))}},
                      MaskCase{APIElem::Zone,  // room name and switch
                               {TextField(offsetof(API_ZoneType, roomName), "Kitchen"),
                                Field(offsetof(API_ZoneType, solidFill), uint8_t(0))}},
                      MaskCase{APIElem::CurtainWall,  // sixth pen and fifth material
                               {Field(offsetof(API_CurtainWallType, accessoryPen), int16_t(255)),
                                Field(offsetof(API_CurtainWallType, boundaryMat), int16_t(1))}},
                      MaskCase{APIElem::Line,
                               {Field(offsetof(API_DrawingType, secondPen), int16_t(5))}}));

using ElementChangeTest = ModelFixture;

// A value out of range refuses the whole change; read-only fields are quietly left alone.
TEST_F(ElementChangeTest, ValuesTheProjectCannotTakeChangeNothing) {
    const API_Guid guid = Add(APIElem::Wall, "W-1").guid;
    const API_Element before = Get(guid);
    const std::pair<size_t, int16_t> refused[] = {
        {offsetof(API_Elem_Head, layer), 5},  {offsetof(API_Elem_Head, layer), 0},
        {offsetof(API_WallType, contPen), 0}, {offsetof(API_WallType, contPen), 256},
        {offsetof(API_WallType, sideMat), 0}, {offsetof(API_WallType, sideMat), 999},
    };
    for (auto [offset, value] : refused) {
        API_Element request = before, mask{};
        std::memcpy(request.raw + offset, &value, 2);
        std::memset(mask.raw + offset, 0xFF, 2);
        // A valid pen change in the same call must not slip through either.
        request.wall.contPen3D = 99;
        mask.wall.contPen3D = -1;
        EXPECT_EQ(Change(request, mask), ApiErr::BadParameter) << offset << " = " << value;
        const API_Element after = Get(guid);
        EXPECT_EQ(std::memcmp(&after, &before, sizeof(before)), 0);
    }

    const API_Guid slab = Add(APIElem::Slab, "SL-1").guid;
    API_Element request = Get(slab), mask{};
    request.slab.topZ = 10;
    request.header.lockId = 1;
    mask.slab.topZ = 1;
    mask.header.lockId = -1;
    ASSERT_EQ(Change(request, mask), 0);
    EXPECT_DOUBLE_EQ(request.slab.topZ, 3.0) << "the record handed back is the element's";
    EXPECT_EQ(request.header.lockId, 0);
}

// Who may change an element and its user data: the layer's lock and the element's own lock stand
// in the way of a change, only the element's lock in the way of user data; in a shared project
// only the owner writes (asked before the lock); off the floor plan nothing is changed.
TEST_F(ElementChangeTest, WhatStandsInTheWay) {
    const API_Guid onLockedLayer = Add(APIElem::Wall, "W-L", 4).guid;
    const API_Guid locked = Add(APIElem::Wall, "W-X").guid;
    const API_Guid other = Add(APIElem::Wall, "W-O").guid;
    const API_Guid theirsLocked = Add(APIElem::Slab, "SL-2").guid;
    CurrentProject().Edit(locked)->locked = true;
    CurrentProject().Edit(other)->owner = 2;
    CurrentProject().Edit(theirsLocked)->owner = 4;
    CurrentProject().Edit(theirsLocked)->locked = true;
    auto change = [&](const API_Guid& g) {
        API_Element r = Get(g), mask{};
        r.header.layer = 2;
        mask.header.layer = -1;
        return Change(r, mask);
    };
    auto setData = [&](const API_Guid& g) { return SetData(g, "x"); };
    auto unlock = [&](const API_Guid& g) { return Tool(g, "ULCK"); };
    struct Case {
        const char* what;
        int16_t user;
        std::function<GSErrCode(const API_Guid&)> op;
        const API_Guid* guid;
        GSErrCode expected;
    };
    const Case cases[] = {
        {"change on a locked layer", 0, change, &onLockedLayer, kNotEditable},
        {"change of a locked element", 0, change, &locked, kLocked},
        {"user data of a locked element", 0, setData, &locked, kLocked},
        {"user data on a locked layer", 0, setData, &onLockedLayer, 0},
        {"owners count only in a shared project", 0, change, &other, 0},
        {"change of another's element", 1, change, &other, kNotEditable},
        {"user data of another's element", 1, setData, &other, kNotEditable},
        {"the owner's change", 2, change, &other, 0},
        {"ownership is asked before the lock", 3, setData, &theirsLocked, kNotEditable},
        {"unlocking another's element", 3, unlock, &theirsLocked, kNotEditable},
    };
    for (const Case& c : cases) {
        SignIn(c.user);
        EXPECT_EQ(c.op(*c.guid), c.expected) << c.what;
    }
    EXPECT_EQ(GetData(theirsLocked), kNoData) << "reading is allowed";
    CurrentProject().State().ChangeWindow(APIWind::Model3D, 0);
    EXPECT_EQ(change(other), kNotOnFloorPlan);
}

// Locking and unlocking change nothing else of the element, its user data included; deleting
// user data that is not there is no failure.
TEST_F(ElementChangeTest, LockingKeepsTheRestAndUserDataComesAndGoes) {
    const API_Guid guid = Add(APIElem::CurtainWall, "CW-1", 2).guid;
    ASSERT_EQ(SetData(guid, "links"), 0);
    API_Element before = Get(guid);
    ASSERT_EQ(Tool(guid, "LOCK"), 0);
    API_Element locked = Get(guid);
    API_Elem_Head h = HeadOf(guid);
    EXPECT_EQ(api.Element_DeleteUserData(&h), kLocked);
    ASSERT_EQ(Tool(guid, "ULCK"), 0);
    API_Element after = Get(guid);
    EXPECT_EQ(locked.header.lockId, 1);
    locked.header.lockId = 0;
    for (API_Element* r : {&before, &locked, &after}) r->header.modiStamp = 0;
    EXPECT_EQ(std::memcmp(&locked, &before, sizeof(before)), 0);
    EXPECT_EQ(std::memcmp(&after, &before, sizeof(before)), 0);
    EXPECT_EQ(GetData(guid), "links");
    ASSERT_EQ(api.Element_DeleteUserData(&h), 0);
    EXPECT_EQ(GetData(guid), kNoData);
    EXPECT_EQ(api.Element_DeleteUserData(&h), 0) << "nothing to delete is no failure";

    // The tool's and the user data's arguments are checked.
    EXPECT_EQ(Tool(guid, "GRUP"), ApiErr::BadParameter);
    GSHandle tool = BMAllocateHandle(sizeof(API_Elem_Head), 0, 0);
    reinterpret_cast<API_Elem_Head*>(*tool)->guid = guid;
    EXPECT_EQ(api.Element_Tool(tool, 2, FourChar("LOCK"), nullptr), ApiErr::BadParameter)
        << "two headers do not fit in a handle of one";
    reinterpret_cast<API_Elem_Head*>(*tool)->guid.bytes[3] ^= 1;
    EXPECT_EQ(api.Element_Tool(tool, 1, FourChar("LOCK"), nullptr), ApiErr::BadId);
    BMKillHandle(&tool);
    EXPECT_EQ(Get(guid).header.lockId, 0);
    API_ElementUserData empty{};
    EXPECT_EQ(api.Element_SetUserData(&h, &empty), ApiErr::BadParameter) << "no handle";
}

TEST_F(ElementChangeTest, ElementsAreNamedByGuidOrByTypeAndIndex) {
    Add(APIElem::Camera, "CAM-1");
    const API_Guid second = Add(APIElem::Camera, "CAM-2").guid;
    const API_Element byIndex = ByIndex(APIElem::Camera, 2);
    EXPECT_TRUE(byIndex.header.guid == second);
    EXPECT_STREQ(byIndex.header.elemId, "CAM-2");

    struct Bad {
        API_ElemTypeID type;
        int32_t index;
        bool knownGuid;
        GSErrCode expected;
    };
    for (const Bad& bad : {Bad{APIElem::Camera, 3, false, ApiErr::BadIndex},
                           Bad{43, 1, false, ApiErr::BadElementType},
                           Bad{APIElem::Wall, 0, true, ApiErr::BadElementType},  // must agree
                           Bad{0, 0, false, ApiErr::BadId}}) {
        API_Element e{};
        e.header.typeID = bad.type;
        e.header.index = bad.index;
        if (bad.index == 0) e.header.guid = second;
        if (bad.index == 0 && !bad.knownGuid) e.header.guid.bytes[0] ^= 0xFF;
        EXPECT_EQ(api.Element_Get(&e, 0u), bad.expected) << bad.type << "/" << bad.index;
    }
    EXPECT_EQ(api.Element_Get(nullptr, 0u), ApiErr::BadParameter);

    // Sections carry their ID also as UTF-16: é and U+1F3E0 as a surrogate pair.
    const API_Element section = Get(Add(APIElem::Section, "S-\xC3\xA9\xF0\x9F\x8F\xA0").guid);
    const char16_t expected[] = {u'S', u'-', 0x00E9, 0xD83C, 0xDFE0, 0};
    EXPECT_EQ(std::memcmp(section.cutPlane.name, expected, sizeof(expected)), 0);
}

// The add-on puts the plain object tool's defaults back with an all-ones mask after choosing the
// caption object: each subtype keeps its own defaults.
TEST_F(ElementChangeTest, DefaultsChangeWithTheMaskAndStayApartPerSubtype) {
    ElementDefaults::Get().Reset();
    auto defaults = [&](GSType subtype) {
        API_Element d{};
        d.header.typeID = APIElem::Object;
        d.header.variationID = subtype;
        EXPECT_EQ(api.Element_GetDefaults(&d, nullptr), 0);
        return d;
    };
    const API_Element remembered = defaults(FourChar("Capt"));
    API_Element d = remembered, mask{};
    d.object.libInd = 7;
    d.object.pen = 20;
    mask.object.libInd = -1;
    ASSERT_EQ(api.Element_ChangeDefaults(&d, nullptr, &mask), 0);
    EXPECT_EQ(defaults(FourChar("Capt")).object.libInd, 7);
    EXPECT_EQ(defaults(FourChar("Capt")).object.pen, remembered.object.pen) << "not masked";
    EXPECT_EQ(defaults(0).object.libInd, 0) << "the plain object tool keeps its own default";
    // Putting the remembered default back with an all-ones mask restores it.
    std::memset(&mask, 0xFF, sizeof(mask));
    d = remembered;
    ASSERT_EQ(api.Element_ChangeDefaults(&d, nullptr, &mask), 0);
    const API_Element back = defaults(FourChar("Capt"));
    EXPECT_EQ(std::memcmp(&back, &remembered, sizeof(back)), 0);
}

class ElementLookupTest : public ModelFixture {
protected:
    void SetUp() override {
        ModelFixture::SetUp();
        for (API_ElemTypeID type : {APIElem::Wall, APIElem::Slab, APIElem::Line})
            for (int i = 1; i <= 4; ++i)
                guids.push_back(Add(type, std::to_string(type) + "-" + std::to_string(i)).guid);
    }
    // The ID text of the element a GUID names, or the error code.
    std::string IdOf(const API_Guid& guid) const {
        API_Element e{};
        e.header.guid = guid;
        const GSErrCode result = api.Element_Get(&e, 0u);
        return result == 0 ? std::string(e.header.elemId) : "<" + std::to_string(result) + ">";
    }

    std::vector<API_Guid> guids;  // walls 0-3, slabs 4-7, lines 8-11
};

TEST_F(ElementLookupTest, AChangedGuidNamesTheElementAndTheOldOneNothing) {
    const std::string badId = "<" + std::to_string(ApiErr::BadId) + ">";
    Project& p = CurrentProject();
    const API_Guid old = guids[1], next = guids[2];
    ASSERT_EQ(IdOf(old), "1-2");  // found last: the quick ways start from here
    const API_Guid renewed = p.NewGuid();
    ASSERT_EQ(api.OpenUndoableSession("renew"), 0);
    ASSERT_TRUE(p.ChangeGuid(old, renewed));
    ASSERT_EQ(api.CloseUndoableSession(), 0);
    struct Step {
        API_Guid guid;
        std::string expected;
    };
    const Step afterChange[] = {{old, badId},  {renewed, "1-2"}, {old, badId},
                                {next, "1-3"}, {old, badId},     {renewed, "1-2"}};
    for (const Step& s : afterChange) EXPECT_EQ(IdOf(s.guid), s.expected);
    std::string title;
    ASSERT_TRUE(p.Undo(title));
    const Step afterUndo[] = {{renewed, badId}, {old, "1-2"}, {renewed, badId}, {next, "1-3"}};
    for (const Step& s : afterUndo) EXPECT_EQ(IdOf(s.guid), s.expected);
    ASSERT_TRUE(p.Redo(title));
    const Step afterRedo[] = {{old, badId}, {renewed, "1-2"}, {next, "1-3"}, {old, badId}};
    for (const Step& s : afterRedo) EXPECT_EQ(IdOf(s.guid), s.expected);
}

// The change count grows with a real change only: the same values again, in a change record or
// as user data, are no change.
TEST_F(ElementLookupTest, OnlyRealChangesCount) {
    const API_Guid wall = guids[0];
    ASSERT_EQ(SetData(wall, "links"), 0);
    struct Case {
        const char* what;
        std::function<GSErrCode(const API_Guid&)> apply;
        bool changes;
    };
    auto pen = [this](int16_t value) {
        return [this, value](const API_Guid& g) {
            API_Element r = Get(g), mask{};
            if (value != 0) r.wall.contPen = value;
            mask.wall.contPen = -1;
            return Change(r, mask);
        };
    };
    auto data = [this](const char* bytes, int32_t version = 103) {
        return [this, bytes, version](const API_Guid& g) {
            API_Elem_Head h = HeadOf(g);
            API_ElementUserData u = Envelope(bytes, version);
            const GSErrCode result = api.Element_SetUserData(&h, &u);
            BMKillHandle(&u.dataHdl);
            return result;
        };
    };
    const Case cases[] = {
        {"same pen", pen(0), false},
        {"same layer and switch",
         [this](const API_Guid& g) {
             API_Element r = Get(g), mask{};
             mask.header.layer = -1;
             mask.wall.refMatOverride = 1;
             return Change(r, mask);
         },
         false},
        {"other pen", pen(77), true},
        {"same data", data("links"), false},
        {"longer data", data("links+"), true},
        {"shorter data", data("link"), true},
        {"same bytes, other version", data("link", 102), true},
    };
    for (const Case& c : cases) {
        const uint32_t stamp = Get(wall).header.modiStamp;
        ASSERT_EQ(c.apply(wall), 0) << c.what;
        EXPECT_EQ(Get(wall).header.modiStamp, c.changes ? stamp + 1 : stamp) << c.what;
    }
    EXPECT_EQ(GetData(wall), "link");
    API_Elem_Head h = HeadOf(wall);
    API_ElementUserData u{};
    ASSERT_EQ(api.Element_GetUserData(&h, &u, 0u), 0);
    EXPECT_EQ(u.dataVersion, 102) << "the version written last";
    BMKillHandle(&u.dataHdl);
}

using DatabaseTest = ModelFixture;

// The add-on's guard: from the 3D window it switches the database to the floor plan for its
// element work, then back.
TEST_F(DatabaseTest, SwitchingFromThe3DWindowToTheFloorPlanAndBack) {
    const API_Guid wall = Add(APIElem::Wall, "W-1").guid;
    API_WindowInfo window{};
    window.typeID = APIWind::Model3D;
    ASSERT_EQ(Call(Family::Automate, "CHWD", &window), 0);
    API_DatabaseInfo saved;
    std::memset(&saved, 0xEE, sizeof(saved));
    ASSERT_EQ(Call(Family::Database, "GDAT", &saved), 0);
    EXPECT_EQ(saved.typeID, 4);
    EXPECT_EQ(SetData(wall, "x"), kNotOnFloorPlan);

    API_DatabaseInfo plan{};
    plan.typeID = 1;
    ASSERT_EQ(Call(Family::Database, "CDAT", &plan), 0);
    EXPECT_EQ(SetData(wall, "x"), 0);
    API_WindowInfo current{};
    ASSERT_EQ(Call(Family::Database, "GWIN", &current), 0);
    EXPECT_EQ(current.typeID, 4) << "changing the database leaves the window";
    ASSERT_EQ(Call(Family::Database, "CDAT", &saved), 0);
    API_DatabaseInfo back{};
    ASSERT_EQ(Call(Family::Database, "GDAT", &back), 0);
    EXPECT_EQ(std::memcmp(&back, &saved, sizeof(back)), 0);

    // Kinds of databases the project has not are refused.
    API_DatabaseInfo d{};
    d.typeID = 99;
    EXPECT_EQ(Call(Family::Database, "CDAT", &d), ApiErr::BadDatabase);
    EXPECT_EQ(Call(Family::Automate, "CHWD", &d), ApiErr::BadDatabase);
    EXPECT_EQ(Call(Family::Database, "GDAT"), ApiErr::BadParameter);
}

using AutomationTest = ModelFixture;

TEST_F(AutomationTest, RebuildsAndRedrawsWaitForTheMassChangeToClose) {
    const HostState& s = CurrentProject().State();
    uint8_t all = 1;
    ASSERT_EQ(Call(Family::Automate, "RBLD", &all), 0);
    EXPECT_EQ(s.rebuilds, 1);
    ASSERT_EQ(Call(Family::Goodies, APISelector::OpenMassChange), 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::OpenMassChange), 0);
    ASSERT_EQ(Call(Family::Automate, "RDRW"), 0);
    ASSERT_EQ(Call(Family::Automate, "RDRW"), 0);
    ASSERT_EQ(Call(Family::Automate, "RBLD", &all), 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), 0);
    EXPECT_EQ(s.redraws, 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), 0);
    EXPECT_EQ(s.redraws, 1);
    EXPECT_EQ(s.rebuilds, 2);
    EXPECT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), ApiErr::NotDone);
}

}  // namespace
}  // namespace ModelTest
