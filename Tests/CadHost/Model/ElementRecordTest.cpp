// Reading and changing elements through the function table: a change mask changes exactly the
// masked fields; locks, layers, rights and the current database stand in the way.
#include <cstddef>
#include <vector>

#include "API/Database.h"
#include "Model/ElementDefaults.h"
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

// One masked field of a change: where it sits in the record, how long it is, the value to write.
struct MaskedField {
    size_t offset;
    size_t size;
    std::vector<uint8_t> value;
};

template <typename T>
MaskedField Field(size_t offset, T value) {
    std::vector<uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return {offset, sizeof(T), bytes};
}

MaskedField TextField(size_t offset, size_t size, const char* text) {
    std::vector<uint8_t> bytes(size, 0);
    std::memcpy(bytes.data(), text, std::strlen(text));
    return {offset, size, bytes};
}

struct MaskCase {
    const char* name;
    API_ElemTypeID type;
    std::vector<MaskedField> fields;
};

class ElementMaskTest : public ModelFixture, public ::testing::WithParamInterface<MaskCase> {};

// Every other byte of the record is scribbled on; only the masked fields may take effect, so the
// record read back is the old record with exactly those bytes replaced (and a newer stamp).
TEST_P(ElementMaskTest, OnlyMaskedFieldsChange) {
    const MaskCase& c = GetParam();
    const Element& e = Add(c.type, "E-1", 2);
    const API_Guid guid = e.guid;
    const API_Element before = Get(guid);

    API_Element request;
    std::memset(&request, 0x07, sizeof(request));
    request.header.typeID = c.type;
    request.header.guid = guid;
    API_Element mask{};
    API_Element expected = before;
    for (const MaskedField& f : c.fields) {
        std::memcpy(request.raw + f.offset, f.value.data(), f.size);
        std::memset(mask.raw + f.offset, 0xFF, f.size);
        std::memcpy(expected.raw + f.offset, f.value.data(), f.size);
    }
    ASSERT_EQ(api.Element_Change(&request, &mask, nullptr, 0ull, true), 0);
    API_Element after = Get(guid);
    EXPECT_GT(after.header.modiStamp, before.header.modiStamp);
    after.header.modiStamp = expected.header.modiStamp = 0;
    for (size_t i = 0; i < sizeof(API_Element); ++i)
        ASSERT_EQ(after.raw[i], expected.raw[i]) << c.name << ": byte " << i;
    EXPECT_TRUE(request.header.guid == guid) << "the record handed back names the same element";
}

INSTANTIATE_TEST_SUITE_P(
    Types, ElementMaskTest,
    ::testing::Values(MaskCase{"wall second pen, middle material, layer",
                               APIElem::Wall,
                               {Field(offsetof(API_WallType, contPen3D), int16_t(42)),
                                Field(offsetof(API_WallType, oppMat), int16_t(7)),
                                Field(offsetof(API_Elem_Head, layer), int16_t(1))}},
                      MaskCase{"wall switches off, ID text",
                               APIElem::Wall,
                               {Field(offsetof(API_WallType, materialsChained), uint8_t(0)),
                                Field(offsetof(API_WallType, oppMatOverride), uint8_t(0)),
                                TextField(offsetof(API_Elem_Head, elemId), 64, "W-renamed")}},
                      MaskCase{"beam last pen and material",
                               APIElem::Beam,
                               {Field(offsetof(API_BeamType, holePen), int16_t(251)),
                                Field(offsetof(API_BeamType, holeMat), int16_t(9))}},
                      MaskCase{"object pen, library part",
                               APIElem::Object,
                               {Field(offsetof(API_ObjectType, pen), int16_t(3)),
                                Field(offsetof(API_ObjectType, libInd), int32_t(12))}},
                      MaskCase{"zone room name and switch",
                               APIElem::Zone,
                               {TextField(offsetof(API_ZoneType, roomName), 64, "Kitchen"),
                                Field(offsetof(API_ZoneType, solidFill), uint8_t(0))}},
                      MaskCase{"curtain wall sixth pen and fifth material",
                               APIElem::CurtainWall,
                               {Field(offsetof(API_CurtainWallType, accessoryPen), int16_t(255)),
                                Field(offsetof(API_CurtainWallType, boundaryMat), int16_t(1))}},
                      MaskCase{"line second pen",
                               APIElem::Line,
                               {Field(offsetof(API_DrawingType, secondPen), int16_t(5))}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

using ElementChangeTest = ModelFixture;

TEST_F(ElementChangeTest, ValuesTheProjectCannotTakeChangeNothing) {
    const API_Guid guid = Add(APIElem::Wall, "W-1").guid;
    const API_Element before = Get(guid);
    struct Bad {
        size_t offset;
        int16_t value;
    };
    for (Bad bad :
         {Bad{offsetof(API_Elem_Head, layer), 5}, Bad{offsetof(API_Elem_Head, layer), 0},
          Bad{offsetof(API_WallType, contPen), 0}, Bad{offsetof(API_WallType, contPen), 256},
          Bad{offsetof(API_WallType, sideMat), 0}, Bad{offsetof(API_WallType, sideMat), 999}}) {
        API_Element request = before, mask{};
        std::memcpy(request.raw + bad.offset, &bad.value, 2);
        std::memset(mask.raw + bad.offset, 0xFF, 2);
        // A valid pen change in the same call must not slip through either.
        request.wall.contPen3D = 99;
        mask.wall.contPen3D = -1;
        EXPECT_EQ(api.Element_Change(&request, &mask, nullptr, 0ull, true), ApiErr::BadParameter)
            << "offset " << bad.offset << " value " << bad.value;
        const API_Element after = Get(guid);
        EXPECT_EQ(std::memcmp(&after, &before, sizeof(before)), 0);
    }
}

TEST_F(ElementChangeTest, ReadOnlyFieldsAreIgnored) {
    const API_Guid guid = Add(APIElem::Slab, "SL-1").guid;
    API_Element request = Get(guid), mask{};
    EXPECT_DOUBLE_EQ(request.slab.topZ, 3.0);
    request.slab.topZ = 10;
    request.header.lockId = 1;
    mask.slab.topZ = 1;
    mask.header.lockId = -1;
    ASSERT_EQ(api.Element_Change(&request, &mask, nullptr, 0ull, true), 0);
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
        return api.Element_Change(&r, &mask, nullptr, 0ull, true);
    };
    EXPECT_EQ(change(onLocked), static_cast<GSErrCode>(0x81060132));
    EXPECT_EQ(change(locked), static_cast<GSErrCode>(0x8106012F));
    EXPECT_EQ(change(other), 0) << "owners count only in a shared project";
    SignIn(1);
    EXPECT_EQ(change(other), static_cast<GSErrCode>(0x81060132));
    SignIn(2);
    EXPECT_EQ(change(other), 0);
    // Off the floor plan, elements are not changed.
    CurrentProject().State().ChangeWindow(APIWind::Model3D, 0);
    EXPECT_EQ(change(other), static_cast<GSErrCode>(0x810600E2));
}

TEST_F(ElementChangeTest, ElementsAreNamedByGuidOrByTypeAndIndex) {
    Add(APIElem::Camera, "CAM-1");
    const API_Guid second = Add(APIElem::Camera, "CAM-2").guid;
    API_Element byIndex{};
    byIndex.header.typeID = APIElem::Camera;
    byIndex.header.index = 2;
    ASSERT_EQ(api.Element_Get(&byIndex, 0u), 0);
    EXPECT_TRUE(byIndex.header.guid == second);
    EXPECT_STREQ(byIndex.header.elemId, "CAM-2");

    API_Element e{};
    e.header.typeID = APIElem::Camera;
    e.header.index = 3;
    EXPECT_EQ(api.Element_Get(&e, 0u), ApiErr::BadIndex);
    e.header.typeID = 43;
    e.header.index = 1;
    EXPECT_EQ(api.Element_Get(&e, 0u), ApiErr::BadElementType);
    e = {};
    e.header.guid = second;
    e.header.typeID = APIElem::Wall;
    EXPECT_EQ(api.Element_Get(&e, 0u), ApiErr::BadElementType) << "the type must agree";
    e.header.guid.bytes[0] ^= 0xFF;
    e.header.typeID = 0;
    EXPECT_EQ(api.Element_Get(&e, 0u), ApiErr::BadId);
    EXPECT_EQ(api.Element_Get(nullptr, 0u), ApiErr::BadParameter);
}

TEST_F(ElementChangeTest, SectionsCarryTheirIdAlsoAsUtf16) {
    const API_Guid guid = Add(APIElem::Section, "S-\xC3\xA9\xF0\x9F\x8F\xA0").guid;  // é, U+1F3E0
    const API_Element r = Get(guid);
    const char16_t expected[] = {u'S', u'-', 0x00E9, 0xD83C, 0xDFE0, 0};
    EXPECT_EQ(std::memcmp(r.cutPlane.name, expected, sizeof(expected)), 0);
}

TEST_F(ElementChangeTest, DefaultsChangeWithTheMaskAndStayApartPerSubtype) {
    ElementDefaults::Get().Reset();
    API_Element d{};
    d.header.typeID = APIElem::Object;
    d.header.variationID = FourChar("Capt");
    ASSERT_EQ(api.Element_GetDefaults(&d, nullptr), 0);
    const API_Element remembered = d;
    d.object.libInd = 7;
    d.object.pen = 20;
    API_Element mask{};
    mask.object.libInd = -1;
    ASSERT_EQ(api.Element_ChangeDefaults(&d, nullptr, &mask), 0);
    API_Element read{};
    read.header.typeID = APIElem::Object;
    read.header.variationID = FourChar("Capt");
    ASSERT_EQ(api.Element_GetDefaults(&read, nullptr), 0);
    EXPECT_EQ(read.object.libInd, 7);
    EXPECT_EQ(read.object.pen, remembered.object.pen) << "not masked";
    API_Element plain{};
    plain.header.typeID = APIElem::Object;
    ASSERT_EQ(api.Element_GetDefaults(&plain, nullptr), 0);
    EXPECT_EQ(plain.object.libInd, 0) << "the plain object tool keeps its own default";
    // Putting the remembered default back with an all-ones mask restores it.
    std::memset(&mask, 0xFF, sizeof(mask));
    API_Element back = remembered;
    ASSERT_EQ(api.Element_ChangeDefaults(&back, nullptr, &mask), 0);
    ASSERT_EQ(api.Element_GetDefaults(&read, nullptr), 0);
    EXPECT_EQ(std::memcmp(&read, &remembered, sizeof(read)), 0);
}

}  // namespace
}  // namespace ModelTest
