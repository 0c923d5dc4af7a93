// Reading and changing elements through the function table: a change mask changes exactly the
// masked fields; locks, layers, rights and the current database stand in the way.
#include <cstddef>
#include <vector>

#include "API/Database.h"
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

TEST_F(ElementChangeTest, WhatStandsInTheWay) {
    const API_Guid onLocked = Add(APIElem::Wall, "W-L", 4).guid;
    const API_Guid locked = Add(APIElem::Wall, "W-X").guid;
    const API_Guid other = Add(APIElem::Wall, "W-O").guid;
    CurrentProject().Edit(locked)->locked = true;
    CurrentProject().Edit(other)->owner = 2;
    auto change = [&](const API_Guid& g) {
        API_Element r = Get(g), mask{};
        r.wall.contPen = 3;
        mask.wall.contPen = -1;
        return Change(r, mask);
    };
    EXPECT_EQ(change(onLocked), kNotEditable);
    EXPECT_EQ(change(locked), kLocked);
    EXPECT_EQ(change(other), 0) << "owners count only in a shared project";
    SignIn(1);
    EXPECT_EQ(change(other), kNotEditable);
    SignIn(2);
    EXPECT_EQ(change(other), 0);
    // Off the floor plan, elements are not changed.
    CurrentProject().State().ChangeWindow(APIWind::Model3D, 0);
    EXPECT_EQ(change(other), kNotOnFloorPlan);
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

}  // namespace
}  // namespace ModelTest
