// Reading and changing elements through the function table, as the add-on does. (Its switch from
// the 3D window to the floor plan for its element work runs in the demo's path movie, ModuleTest.)
#include <cstddef>
#include <functional>
#include <vector>

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
    ::testing::Values(MaskCase{APIElem::Wall,  // second pen, middle material, layer, switch, ID
                               {Field(offsetof(API_WallType, contPen3D), int16_t(42)),
                                Field(offsetof(API_WallType, oppMat), int16_t(7)),
                                Field(offsetof(API_Elem_Head, layer), int16_t(1)),
                                Field(offsetof(API_WallType, oppMatOverride), uint8_t(0)),
                                TextField(offsetof(API_Elem_Head, elemId), "W-renamed")}},
                      MaskCase{APIElem::Beam,  // last pen and material
                               {Field(offsetof(API_BeamType, holePen), int16_t(251)),
                                Field(offsetof(API_BeamType, holeMat), int16_t(9))}},
                      MaskCase{APIElem::Zone,  // room name and switch
                               {TextField(offsetof(API_ZoneType, roomName), "Kitchen"),
                                Field(offsetof(API_ZoneType, solidFill), uint8_t(0))}},
                      MaskCase{APIElem::CurtainWall,  // sixth pen and fifth material
                               {Field(offsetof(API_CurtainWallType, accessoryPen), int16_t(255)),
                                Field(offsetof(API_CurtainWallType, boundaryMat), int16_t(1))}}));

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

// Locking keeps the user data; deleting user data that is not there is no failure.
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

    // Arguments that would be read past their end are refused.
    EXPECT_EQ(Tool(guid, "LOCK", 2), ApiErr::BadParameter) << "two headers in a handle of one";
    API_ElementUserData empty{};
    EXPECT_EQ(api.Element_SetUserData(&h, &empty), ApiErr::BadParameter) << "no handle";
}

TEST_F(ElementChangeTest, ElementsAreNamedByGuidOrByTypeAndIndex) {
    Add(APIElem::Camera, "CAM-1");
    const API_Guid second = Add(APIElem::Camera, "CAM-2").guid;
    EXPECT_TRUE(ByIndex(APIElem::Camera, 2).header.guid == second);

    auto get = [&](API_ElemTypeID type, int32_t index, const API_Guid& guid) {
        API_Element e{};
        e.header.typeID = type;
        e.header.index = index;
        e.header.guid = guid;
        return api.Element_Get(&e, 0u);
    };
    API_Guid unknown = second;
    unknown.bytes[0] ^= 0xFF;
    EXPECT_EQ(get(APIElem::Camera, 3, {}), ApiErr::BadIndex);
    EXPECT_EQ(get(43, 1, {}), ApiErr::BadElementType);
    EXPECT_EQ(get(APIElem::Wall, 0, second), ApiErr::BadElementType) << "type and GUID must agree";
    EXPECT_EQ(get(0, 0, unknown), ApiErr::BadId);
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
    mask.object.libInd = -1;
    ASSERT_EQ(api.Element_ChangeDefaults(&d, nullptr, &mask), 0);
    EXPECT_EQ(defaults(FourChar("Capt")).object.libInd, 7);
    EXPECT_EQ(defaults(0).object.libInd, 0) << "the plain object tool keeps its own default";
    // Putting the remembered default back with an all-ones mask restores it.
    std::memset(&mask, 0xFF, sizeof(mask));
    d = remembered;
    ASSERT_EQ(api.Element_ChangeDefaults(&d, nullptr, &mask), 0);
    const API_Element back = defaults(FourChar("Capt"));
    EXPECT_EQ(std::memcmp(&back, &remembered, sizeof(back)), 0);
}

// After the GUID changes (and back with undo, and again with redo) each GUID names the element it
// should, whatever was looked up before: the lookups start from the element found last.
TEST_F(ElementChangeTest, AChangedGuidNamesTheElementAndTheOldOneNothing) {
    std::vector<API_Guid> guids;  // walls 0-3, slabs 4-7, lines 8-11
    for (API_ElemTypeID type : {APIElem::Wall, APIElem::Slab, APIElem::Line})
        for (int i = 1; i <= 4; ++i)
            guids.push_back(Add(type, std::to_string(type) + "-" + std::to_string(i)).guid);
    auto ids = [&](std::initializer_list<API_Guid> asked) {
        std::vector<std::string> out;
        for (const API_Guid& guid : asked) {
            API_Element e{};
            e.header.guid = guid;
            const GSErrCode result = api.Element_Get(&e, 0u);
            out.push_back(result == 0 ? std::string(e.header.elemId) : "bad");
        }
        return out;
    };
    using V = std::vector<std::string>;
    Project& p = CurrentProject();
    const API_Guid old = guids[1], next = guids[2], renewed = p.NewGuid();
    ASSERT_EQ(ids({old}), V{"1-2"});
    ASSERT_EQ(api.OpenUndoableSession("renew"), 0);
    ASSERT_TRUE(p.ChangeGuid(old, renewed));
    ASSERT_EQ(api.CloseUndoableSession(), 0);
    EXPECT_EQ(ids({old, renewed, old, next, old, renewed}),
              (V{"bad", "1-2", "bad", "1-3", "bad", "1-2"}));
    std::string title;
    ASSERT_TRUE(p.Undo(title));
    EXPECT_EQ(ids({renewed, old, renewed, next}), (V{"bad", "1-2", "bad", "1-3"}));
    ASSERT_TRUE(p.Redo(title));
    EXPECT_EQ(ids({old, renewed, next, old}), (V{"bad", "1-2", "1-3", "bad"}));
}

// The same values again, in a change record or as user data, are no change.
TEST_F(ElementChangeTest, OnlyRealChangesCount) {
    const API_Guid wall = Add(APIElem::Wall, "W-1").guid;
    ASSERT_EQ(SetData(wall, "links"), 0);
    auto change = [&](int16_t pen, bool layerAndSwitch) {
        API_Element r = Get(wall), mask{};
        if (pen != 0) r.wall.contPen = pen;
        mask.wall.contPen = -1;
        mask.header.layer = layerAndSwitch ? -1 : 0;
        mask.wall.refMatOverride = layerAndSwitch;
        return Change(r, mask);
    };
    const struct {
        const char* what;
        std::function<GSErrCode()> apply;
        bool changes;
    } cases[] = {
        {"same pen, layer and switch", [&] { return change(0, true); }, false},
        {"other pen", [&] { return change(77, false); }, true},
        {"same data", [&] { return SetData(wall, "links"); }, false},
        {"longer data", [&] { return SetData(wall, "links+"); }, true},
        {"shorter data", [&] { return SetData(wall, "link"); }, true},
        {"same bytes, other version", [&] { return SetData(wall, "link", 102); }, true},
    };
    for (const auto& c : cases) {
        const uint32_t stamp = Get(wall).header.modiStamp;
        ASSERT_EQ(c.apply(), 0) << c.what;
        EXPECT_EQ(Get(wall).header.modiStamp, c.changes ? stamp + 1 : stamp) << c.what;
    }
    API_ElementUserData u{};
    EXPECT_EQ(GetData(wall, &u), "link");
    EXPECT_EQ(u.dataVersion, 102) << "the version written last";
}

}  // namespace
}  // namespace ModelTest
