#pragma once
// Element records as they pass through the function table: the 104-byte element header, the
// 2760-byte element record (one struct per element type, each starting with the header), the memo,
// the user-data envelope and the camera record.
//
// Element type codes (API_ElemTypeID) and the host's names for them ('GETN'):
//   1 Wall, 2 Column, 3 Beam, 4 Window, 5 Door, 6 Object, 7 Lamp, 8 Slab, 9 Roof, 10 Mesh,
//   11 Dimension, 12 Radial Dimension, 13 Level Dimension, 14 Angle Dimension, 15 Text, 16 Label,
//   17 Zone, 18 Fill, 19 Line, 20 Polyline, 21 Arc, 22 Circle, 23 Spline, 24 Hotspot,
//   25 Section, 26 Camera, 27 Camera Path, 28 Group, 29 Section Marker, 30 Drawing, 31 Picture,
//   32 Detail, 33 Elevation, 34 Interior Elevation, 35 Worksheet, 36 Hotlink, 37 Curtain Wall,
//   38 Curtain Wall Segment, 39 Curtain Wall Frame, 40 Curtain Wall Panel, 41 Curtain Wall
//   Junction, 42 Curtain Wall Accessory.
//
// Every element of a type has an ordered list of pens, of materials and of on/off switches. In each
// struct below they are the fields marked "pens:", "materials:" and "switches:", in that order.
// Element_Change changes exactly the fields whose bytes in the mask record are not all zero. Of
// the header only `layer` and `elemId` can be changed (locking is Element_Tool's); the fields
// marked "read-only" describe the element's body and are ignored when masked.
#include <cstddef>
#include <cstdint>

#include "API/ApiTypes.h"

namespace APIElem {
constexpr API_ElemTypeID Wall = 1, Column = 2, Beam = 3, Window = 4, Door = 5, Object = 6, Lamp = 7,
                         Slab = 8, Roof = 9, Mesh = 10, Dimension = 11, RadialDimension = 12,
                         LevelDimension = 13, AngleDimension = 14, Text = 15, Label = 16, Zone = 17,
                         Fill = 18, Line = 19, Polyline = 20, Arc = 21, Circle = 22, Spline = 23,
                         Hotspot = 24, Section = 25, Camera = 26, CameraPath = 27, Group = 28,
                         SectionMarker = 29, Drawing = 30, Picture = 31, Detail = 32,
                         Elevation = 33, InteriorElevation = 34, Worksheet = 35, Hotlink = 36,
                         CurtainWall = 37, CWSegment = 38, CWFrame = 39, CWPanel = 40,
                         CWJunction = 41, CWAccessory = 42;
constexpr API_ElemTypeID First = 1;
constexpr API_ElemTypeID Last = 42;
}  // namespace APIElem

// Element_Filter and Element_Filter_Index: every filter first asks that the element exists (and,
// when a type is given, is of that type) and that the signed-in user may edit it (in a shared
// project: owns it). The flag bits add conditions; 0 therefore means "exists and is editable",
// 6 "on a visible layer and selectable". Unknown bits make the filter answer false.
namespace APIFilter {
constexpr int32_t NotLocked = 1;        // the element itself is not locked
constexpr int32_t OnVisibleLayer = 2;   // its layer is not hidden
constexpr int32_t OnUnlockedLayer = 4;  // its layer is not locked: with 2, it can be selected
constexpr int32_t Selectable = OnVisibleLayer | OnUnlockedLayer;
constexpr int32_t Known = NotLocked | OnVisibleLayer | OnUnlockedLayer;
}  // namespace APIFilter

struct API_Coord {
    double x, y;
};
struct API_Coord3D {
    double x, y, z;
};

// The element header. An element is named either by its GUID or, when the GUID is null, by its
// type and index.
struct API_Elem_Head {
    API_ElemTypeID typeID;  // 0
    GSType variationID;     // 4: subtype signature of objects (e.g. 'Capt'), else 0
    int32_t index;          // 8: 1-based index among the elements of the type
    API_Guid guid;          // 12
    int16_t layer;          // 28: layer attribute index
    int16_t lockId;         // 30: positive when the element is locked
    int16_t userId;         // 32: owner (user number) in a shared project, 0 = nobody
    int16_t floorInd;       // 34: storey, 0 = ground floor (read-only)
    uint32_t modiStamp;     // 36: grows with every change of the element (read-only)
    char elemId[64];        // 40: the element's ID text, UTF-8, NUL-terminated
};
static_assert(sizeof(API_Elem_Head) == 104);
static_assert(offsetof(API_Elem_Head, typeID) == 0);
static_assert(offsetof(API_Elem_Head, index) == 8);
static_assert(offsetof(API_Elem_Head, guid) == 12);
static_assert(offsetof(API_Elem_Head, layer) == 28);
static_assert(offsetof(API_Elem_Head, lockId) == 30);
static_assert(offsetof(API_Elem_Head, userId) == 32);
static_assert(offsetof(API_Elem_Head, elemId) == 40);

// A camera position: what a camera sees and how. 224 bytes; the 3D view's camera ('CP3D') and the
// interpolated cameras of a path ('SLSH') use the same record.
struct API_PerspPars {
    API_Coord3D eye;     // 0: eye position, metres
    API_Coord3D target;  // 24: the point looked at
    double viewCone;     // 48: horizontal field of view, degrees (0 < viewCone < 180)
    double rollAngle;    // 56: degrees, counter-clockwise seen from the eye
    double sunAzimuth;   // 64: degrees from +x, counter-clockwise
    double sunAltitude;  // 72: degrees above the horizon
    uint8_t reserved[144];
};
static_assert(sizeof(API_PerspPars) == 224);

// ---- Per-type records -------------------------------------------------------------------------

struct API_WallType {  // 1
    API_Elem_Head head;
    int16_t contPen, contPen3D;           // pens: 104, 106
    int16_t refMat, oppMat, sideMat;      // materials: 108, 110, 112
    bool materialsChained;                // switches: 114,
    bool refMatOverride, oppMatOverride;  // 115, 116
    uint8_t filler1[3];
    double bottomZ, topZ;  // 120, 128: read-only
};

struct API_ColumnType {  // 2
    API_Elem_Head head;
    int16_t corePen, veneerPen, sectPen, contPen3D;  // pens
    int16_t surfaceMat;                              // materials
    uint8_t filler1[6];
    double bottomZ, topZ;  // read-only
};

struct API_BeamType {  // 3
    API_Elem_Head head;
    int16_t refPen, sectPen, contPen3D, hiddenPen, holePen;  // pens
    int16_t leftMat, rightMat, topMat, botMat, holeMat;      // materials
    uint8_t filler1[4];
    double bottomZ, topZ;  // read-only
};

// Windows, doors, objects and lamps: placed library parts.
struct API_ObjectType {  // 4, 5, 6, 7
    API_Elem_Head head;
    int16_t pen;                       // pens
    int16_t mat;                       // materials
    bool useObjPens, useObjMaterials;  // switches: on = the library part's own pens/materials
    uint8_t filler1[2];
    int32_t libInd;  // library part index
    uint8_t filler2[4];
    double angle;          // read-only: rotation, radians
    double bottomZ, topZ;  // read-only
};
using API_WindowType = API_ObjectType;
using API_DoorType = API_ObjectType;
using API_LampType = API_ObjectType;

struct API_SlabType {  // 8
    API_Elem_Head head;
    int16_t pen, sectPen, contPen3D;  // pens
    int16_t topMat, sideMat, botMat;  // materials
    uint8_t filler1[4];
    double bottomZ, topZ;  // read-only
};

struct API_RoofType {  // 9
    API_Elem_Head head;
    int16_t pen, sectPen, contPen3D, hiddenPen, ridgePen;  // pens
    int16_t topMat, sideMat, botMat;                       // materials
    double bottomZ, topZ;                                  // read-only
};

struct API_MeshType {  // 10
    API_Elem_Head head;
    int16_t contPen, sectPen, contPen3D, ridgePen;  // pens
    int16_t topMat, sideMat, botMat;                // materials
    uint8_t filler1[2];
    double bottomZ, topZ;  // read-only
};

struct API_ZoneType {  // 17
    API_Elem_Head head;
    int16_t contPen;   // pens
    int16_t material;  // materials
    bool solidFill;    // switches
    uint8_t filler1[3];
    char roomName[64];     // the zone's name, UTF-8
    double bottomZ, topZ;  // read-only
};

struct API_CurtainWallType {  // 37
    API_Elem_Head head;
    int16_t contPen, contPen3D, framePen, panelPen, junctionPen, accessoryPen;  // pens
    int16_t frameMat, panelMat, junctionMat, accessoryMat, boundaryMat;         // materials
    bool frameMatOverride, panelMatOverride;                                    // switches
    double bottomZ, topZ;                                                       // read-only
};

// Fills, lines, arcs, circles, splines and the 2D elements without a record of their own.
struct API_DrawingType {  // 11-14, 18-24, 28-32, 34-36, 38-42
    API_Elem_Head head;
    int16_t linePen, secondPen;  // pens (the second only for fills, lines, arcs and splines)
};

struct API_TextType {  // 15, 16
    API_Elem_Head head;
    int16_t pen;  // pens
    uint8_t filler1[6];
    char content[256];  // the text, UTF-8
};

// Sections and elevations carry their ID text also as UTF-16.
struct API_CutPlaneType {  // 25, 33
    API_Elem_Head head;
    int16_t linePen;    // pens
    char16_t name[64];  // read-only: the ID text as UTF-16
};

struct API_CameraType {  // 26
    API_Elem_Head head;
    int32_t reserved;     // 104
    int32_t camSetIndex;  // 108: index of the camera path (type 27) the camera is on
    API_PerspPars persp;  // 112
    int16_t stays;        // 336: frames the movie stays at this camera
    uint8_t filler1[2];
    int32_t prevCam;  // 340: index of the previous camera of the path, 0 for the first
    uint8_t filler2[4];
    int32_t nextCam;  // 348: index of the next camera of the path, 0 after the last
};

struct API_CamSetType {  // 27
    API_Elem_Head head;
    int32_t status;  // 104: 0 = a path of cameras that may be listed
    uint8_t filler1[20];
    char name[32];   // 128: UTF-8
    bool openEnded;  // 160: no segment back from the last camera to the first
    uint8_t filler2[7];
    int32_t inFrames;  // 168: in-between frames per segment
    uint8_t filler3[44];
    bool active;  // 216: the current path
    uint8_t filler4[7];
    int32_t firstCam;  // 224: index of the first camera of the path
};

union API_Element {
    API_Elem_Head header;
    API_WallType wall;
    API_ColumnType column;
    API_BeamType beam;
    API_WindowType window;
    API_DoorType door;
    API_ObjectType object;
    API_LampType lamp;
    API_SlabType slab;
    API_RoofType roof;
    API_MeshType mesh;
    API_ZoneType zone;
    API_CurtainWallType curtainWall;
    API_DrawingType drawing;
    API_TextType text;
    API_CutPlaneType cutPlane;
    API_CameraType camera;
    API_CamSetType camset;
    uint8_t raw[2760];
};
static_assert(sizeof(API_Element) == 2760);
static_assert(offsetof(API_CameraType, camSetIndex) == 108);
static_assert(offsetof(API_CameraType, persp) == 112);
static_assert(offsetof(API_CameraType, stays) == 336);
static_assert(offsetof(API_CameraType, nextCam) == 348);
static_assert(offsetof(API_CamSetType, status) == 104);
static_assert(offsetof(API_CamSetType, name) == 128);
static_assert(offsetof(API_CamSetType, openEnded) == 160);
static_assert(offsetof(API_CamSetType, inFrames) == 168);
static_assert(offsetof(API_CamSetType, active) == 216);
static_assert(offsetof(API_CamSetType, firstCam) == 224);

// Variable-length parts of an element. Every handle is the caller's; DisposeElemMemoHdls kills
// them all. `params` holds the library part parameters (1080-byte records) of objects.
struct API_ElementMemo {
    GSHandle coords;  // API_Coord entries
    GSHandle pends;   // int32 ends of the polygon contours
    GSHandle params;  // 1080-byte parameter records
    GSHandle textContent;
    GSHandle reserved[12];
};

// The envelope of an element's user data. The host keeps the version, the platform signature and
// the bytes exactly as handed over.
struct API_ElementUserData {
    int32_t dataVersion;    // the owner's version number of the bytes
    uint16_t platformSign;  // 0x5757 = little-endian data
    uint16_t flags;         // 0
    GSHandle dataHdl;       // the bytes: the caller's handle (set) or a new handle (get)
    int32_t reserved[4];
};
constexpr uint16_t kApiPlatformSignLittleEndian = 0x5757;
