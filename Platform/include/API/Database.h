#pragma once
// Databases (floor plan, sections, 3D model, ...) and the windows that show them. The same
// 1600-byte record names a database ('GDAT', 'CDAT') and a window ('GWIN', 'CHWD').
#include <cstddef>
#include <cstdint>

#include "API/ApiTypes.h"

namespace APIWind {
constexpr int32_t FloorPlan = 1;
constexpr int32_t Section = 2;
constexpr int32_t Detail = 3;
constexpr int32_t Model3D = 4;
constexpr int32_t Layout = 5;
constexpr int32_t Elevation = 10;
constexpr int32_t InteriorElevation = 11;
constexpr int32_t Worksheet = 12;
}  // namespace APIWind

struct API_DatabaseInfo {
    int32_t typeID;         // 0: APIWind kind
    int32_t index;          // 4: which database of the kind; 0 = the first
    API_Guid databaseUnId;  // 8
    char title[256];        // 24: UTF-8
    char ref[64];           // 280: reference text (e.g. "S-1")
    uint8_t reserved[1256];
};
static_assert(sizeof(API_DatabaseInfo) == 1600);
static_assert(offsetof(API_DatabaseInfo, typeID) == 0);
using API_WindowInfo = API_DatabaseInfo;
