#pragma once
// Attributes as they pass through the function table: pens, layers and materials. Attributes of a
// kind are numbered from 1; a layer's or material's name is unique within its kind.
#include <cstddef>
#include <cstdint>

#include "API/ApiTypes.h"

namespace APIAttr {
constexpr int32_t Pen = 1;
constexpr int32_t Layer = 2;
constexpr int32_t Material = 6;
}  // namespace APIAttr

// Layer flags (API_Attr_Head::flags of a layer).
namespace APILayerFlag {
constexpr uint32_t Hidden = 1;
constexpr uint32_t Locked = 2;
}  // namespace APILayerFlag

struct API_Attr_Head {
    int32_t typeID;  // APIAttr kind
    int32_t index;   // 1-based
    uint32_t flags;  // layers: APILayerFlag bits
    int32_t reserved;
    char name[256];  // UTF-8, NUL-terminated
};

struct API_RGBColor {
    double f_red, f_green, f_blue;  // 0..1
};

struct API_PenType {
    API_Attr_Head head;
    API_RGBColor rgb;
    double width;  // millimetres
};

struct API_LayerType {
    API_Attr_Head head;
    int32_t conClassId;  // elements of layers of the same class meet in 3D; 0 = none
    int32_t reserved;
};

// A surface material. Percentages are 0..100; the host keeps colour channels within 0..1 and
// clamps values outside that range when a material is created or modified.
struct API_MaterialType {
    API_Attr_Head head;
    int16_t mtype;  // kind: 0 general, 1 simple, 2 matte, 3 metal, 4 plastic, 5 glass, 6 glowing
    int16_t ambientPc;
    int16_t diffusePc;
    int16_t specularPc;
    int16_t transpPc;     // transparency
    int16_t shine;        // 0..10000
    int16_t transpAtt;    // transparency attenuation
    int16_t emissionAtt;  // emission attenuation
    API_RGBColor surfaceRGB;
    API_RGBColor specularRGB;
    API_RGBColor emissionRGB;
};

union API_Attribute {
    API_Attr_Head header;
    API_PenType pen;
    API_LayerType layer;
    API_MaterialType material;
};

// Extra definitions of composite attributes; this host has none and ignores the record.
struct API_AttributeDefExt {
    GSHandle reserved[8];
};
