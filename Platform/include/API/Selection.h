#pragma once
// The host's selection as the function table hands it out: a list of element references (part
// code and GUID) and, for a marquee, its polygon.
#include <cstdint>

#include "API/ApiTypes.h"

// Kinds of selection (API_SelectionInfo::typeID).
namespace APISel {
constexpr int32_t Empty = 0;
constexpr int32_t Elements = 1;       // elements picked one by one
constexpr int32_t MarqueePoly = 2;    // a marquee polygon
constexpr int32_t MarqueeHorBox = 3;  // a marquee rectangle along the axes
constexpr int32_t MarqueeRotBox = 4;  // a rotated marquee rectangle
}  // namespace APISel

// A reference to a picked part of an element.
struct API_Neig {
    API_NeigID neigID;  // the part code; Element_NeigIDToTypeID gives the element type
    uint32_t inIndex;   // which part of its kind (0 for the element itself)
    API_Guid guid;
    int32_t flags;
    int32_t reserved;
};
static_assert(sizeof(API_Neig) == 32);

// A marquee: `coords` is a new handle of nCoords API_Coord points (metres, plan), the contour
// without its closing point. The caller kills the handle.
struct API_Region {
    int32_t nCoords;
    int32_t reserved;
    GSHandle coords;
};

struct API_SelectionInfo {
    int32_t typeID;         // APISel kind
    int32_t sel_nElem;      // selected elements (for a marquee: the elements inside it)
    int32_t sel_nElemEdit;  // those among them that the signed-in user may edit
    int32_t reserved;
    API_Region marquee;  // marquee kinds only; otherwise zero
};
