#include "Model/ElementTypes.h"

#include <array>

namespace CadHost {
namespace {

using Info = ElementTypes::Info;

template <typename Rec>
struct Fields {
    Info& info;
    void Pens(std::initializer_list<size_t> offsets) {
        for (size_t o : offsets) info.pens[info.penCount++] = o;
    }
    void Materials(std::initializer_list<size_t> offsets) {
        for (size_t o : offsets) info.materials[info.materialCount++] = o;
    }
    void Switches(std::initializer_list<size_t> offsets) {
        for (size_t o : offsets) info.switches[info.switchCount++] = o;
    }
    void Body() {
        info.hasBody = true;
        info.bottomZ = offsetof(Rec, bottomZ);
        info.topZ = offsetof(Rec, topZ);
    }
};

void Describe(Info& i, API_ElemTypeID type, const char* name, API_NeigID neig) {
    i.type = type;
    i.name = name;
    i.neig = neig;
}

void ObjectFields(Info& i) {
    using R = API_ObjectType;
    Fields<R> f{i};
    f.Pens({offsetof(R, pen)});
    f.Materials({offsetof(R, mat)});
    f.Switches({offsetof(R, useObjPens), offsetof(R, useObjMaterials)});
    f.Body();
    i.libInd = offsetof(R, libInd);
    i.angle = offsetof(R, angle);
}

void DrawingFields(Info& i, bool secondPen) {
    using R = API_DrawingType;
    Fields<R> f{i};
    f.Pens({offsetof(R, linePen)});
    if (secondPen) f.Pens({offsetof(R, secondPen)});
}

std::array<Info, APIElem::Last + 1> BuildTable() {
    std::array<Info, APIElem::Last + 1> t{};
    using namespace APIElem;
    Describe(t[Wall], Wall, "Wall", 1);
    {
        using R = API_WallType;
        Fields<R> f{t[Wall]};
        f.Pens({offsetof(R, contPen), offsetof(R, contPen3D)});
        f.Materials({offsetof(R, refMat), offsetof(R, oppMat), offsetof(R, sideMat)});
        f.Switches({offsetof(R, materialsChained), offsetof(R, refMatOverride),
                    offsetof(R, oppMatOverride)});
        f.Body();
    }
    Describe(t[Column], Column, "Column", 5);
    {
        using R = API_ColumnType;
        Fields<R> f{t[Column]};
        f.Pens({offsetof(R, corePen), offsetof(R, veneerPen), offsetof(R, sectPen),
                offsetof(R, contPen3D)});
        f.Materials({offsetof(R, surfaceMat)});
        f.Body();
    }
    Describe(t[Beam], Beam, "Beam", 6);
    {
        using R = API_BeamType;
        Fields<R> f{t[Beam]};
        f.Pens({offsetof(R, refPen), offsetof(R, sectPen), offsetof(R, contPen3D),
                offsetof(R, hiddenPen), offsetof(R, holePen)});
        f.Materials({offsetof(R, leftMat), offsetof(R, rightMat), offsetof(R, topMat),
                     offsetof(R, botMat), offsetof(R, holeMat)});
        f.Body();
    }
    Describe(t[Window], Window, "Window", 9);
    ObjectFields(t[Window]);
    Describe(t[Door], Door, "Door", 11);
    ObjectFields(t[Door]);
    Describe(t[Object], Object, "Object", 13);
    ObjectFields(t[Object]);
    Describe(t[Lamp], Lamp, "Lamp", 14);
    ObjectFields(t[Lamp]);
    Describe(t[Slab], Slab, "Slab", 15);
    {
        using R = API_SlabType;
        Fields<R> f{t[Slab]};
        f.Pens({offsetof(R, pen), offsetof(R, sectPen), offsetof(R, contPen3D)});
        f.Materials({offsetof(R, topMat), offsetof(R, sideMat), offsetof(R, botMat)});
        f.Body();
    }
    Describe(t[Roof], Roof, "Roof", 17);
    {
        using R = API_RoofType;
        Fields<R> f{t[Roof]};
        f.Pens({offsetof(R, pen), offsetof(R, sectPen), offsetof(R, contPen3D),
                offsetof(R, hiddenPen), offsetof(R, ridgePen)});
        f.Materials({offsetof(R, topMat), offsetof(R, sideMat), offsetof(R, botMat)});
        f.Body();
    }
    Describe(t[Mesh], Mesh, "Mesh", 20);
    {
        using R = API_MeshType;
        Fields<R> f{t[Mesh]};
        f.Pens({offsetof(R, contPen), offsetof(R, sectPen), offsetof(R, contPen3D),
                offsetof(R, ridgePen)});
        f.Materials({offsetof(R, topMat), offsetof(R, sideMat), offsetof(R, botMat)});
        f.Body();
    }
    Describe(t[Dimension], Dimension, "Dimension", 24);
    Describe(t[RadialDimension], RadialDimension, "Radial Dimension", 27);
    Describe(t[LevelDimension], LevelDimension, "Level Dimension", 28);
    Describe(t[AngleDimension], AngleDimension, "Angle Dimension", 29);
    for (API_ElemTypeID type : {Dimension, RadialDimension, LevelDimension, AngleDimension})
        DrawingFields(t[type], false);
    Describe(t[Text], Text, "Text", 31);
    Describe(t[Label], Label, "Label", 32);
    for (API_ElemTypeID type : {Text, Label}) {
        using R = API_TextType;
        Fields<R> f{t[type]};
        f.Pens({offsetof(R, pen)});
        t[type].text = offsetof(R, content);
        t[type].textSize = sizeof(R::content);
    }
    Describe(t[Zone], Zone, "Zone", 33);
    {
        using R = API_ZoneType;
        Fields<R> f{t[Zone]};
        f.Pens({offsetof(R, contPen)});
        f.Materials({offsetof(R, material)});
        f.Switches({offsetof(R, solidFill)});
        f.Body();
        t[Zone].text = offsetof(R, roomName);
        t[Zone].textSize = sizeof(R::roomName);
    }
    Describe(t[Fill], Fill, "Fill", 37);
    Describe(t[Line], Line, "Line", 39);
    Describe(t[Polyline], Polyline, "Polyline", 41);
    Describe(t[Arc], Arc, "Arc", 43);
    Describe(t[Circle], Circle, "Circle", 45);
    Describe(t[Spline], Spline, "Spline", 47);
    Describe(t[Hotspot], Hotspot, "Hotspot", 49);
    for (API_ElemTypeID type : {Fill, Line, Arc, Spline}) DrawingFields(t[type], true);
    for (API_ElemTypeID type : {Polyline, Circle, Hotspot}) DrawingFields(t[type], false);
    Describe(t[Section], Section, "Section", 50);
    Describe(t[Elevation], Elevation, "Elevation", 87);
    for (API_ElemTypeID type : {Section, Elevation}) {
        using R = API_CutPlaneType;
        Fields<R> f{t[type]};
        f.Pens({offsetof(R, linePen)});
        t[type].unicodeName = offsetof(R, name);
    }
    Describe(t[Camera], Camera, "Camera", 52);
    Describe(t[CameraPath], CameraPath, "Camera Path", 0);
    Describe(t[Group], Group, "Group", 54);
    Describe(t[SectionMarker], SectionMarker, "Section Marker", 57);
    Describe(t[Drawing], Drawing, "Drawing", 58);
    Describe(t[Picture], Picture, "Picture", 56);
    Describe(t[Detail], Detail, "Detail", 59);
    Describe(t[InteriorElevation], InteriorElevation, "Interior Elevation", 90);
    Describe(t[Worksheet], Worksheet, "Worksheet", 91);
    Describe(t[Hotlink], Hotlink, "Hotlink", 92);
    Describe(t[CWSegment], CWSegment, "Curtain Wall Segment", 100);
    Describe(t[CWFrame], CWFrame, "Curtain Wall Frame", 101);
    Describe(t[CWPanel], CWPanel, "Curtain Wall Panel", 102);
    Describe(t[CWJunction], CWJunction, "Curtain Wall Junction", 103);
    Describe(t[CWAccessory], CWAccessory, "Curtain Wall Accessory", 104);
    for (API_ElemTypeID type :
         {Group, SectionMarker, Drawing, Picture, Detail, InteriorElevation, Worksheet, Hotlink,
          CWSegment, CWFrame, CWPanel, CWJunction, CWAccessory})
        DrawingFields(t[type], false);
    Describe(t[CurtainWall], CurtainWall, "Curtain Wall", 96);
    {
        using R = API_CurtainWallType;
        Fields<R> f{t[CurtainWall]};
        f.Pens({offsetof(R, contPen), offsetof(R, contPen3D), offsetof(R, framePen),
                offsetof(R, panelPen), offsetof(R, junctionPen), offsetof(R, accessoryPen)});
        f.Materials({offsetof(R, frameMat), offsetof(R, panelMat), offsetof(R, junctionMat),
                     offsetof(R, accessoryMat), offsetof(R, boundaryMat)});
        f.Switches({offsetof(R, frameMatOverride), offsetof(R, panelMatOverride)});
        f.Body();
    }
    return t;
}

const std::array<Info, APIElem::Last + 1>& Table() {
    static const auto table = BuildTable();
    return table;
}

// Part codes of the parts other than the element itself (its ends, reference lines, edges...).
constexpr std::pair<API_NeigID, API_ElemTypeID> kFurtherParts[] = {
    {2, 1},   {3, 1},   {4, 1},   {7, 3},   {8, 3},   {10, 4},  {12, 5},  {16, 8},  {18, 9},
    {19, 9},  {21, 10}, {22, 10}, {23, 10}, {25, 11}, {26, 11}, {30, 14}, {34, 17}, {35, 17},
    {36, 17}, {38, 18}, {40, 19}, {42, 20}, {44, 21}, {46, 22}, {48, 23}, {51, 25}, {53, 26},
    {55, 28}, {88, 33}, {89, 33}, {97, 37}, {98, 37}, {99, 37}};

}  // namespace

const ElementTypes::Info& ElementTypes::Of(API_ElemTypeID type) {
    static const Info none{};
    return Valid(type) ? Table()[static_cast<size_t>(type)] : none;
}

API_ElemTypeID ElementTypes::FromNeig(API_NeigID neig) {
    if (neig <= 0) return 0;
    for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type)
        if (Of(type).neig == neig) return type;
    for (const auto& [part, type] : kFurtherParts)
        if (part == neig) return type;
    return 0;
}

}  // namespace CadHost
