#pragma once
// Library parts and their parameters as add-ons see them.
//
//   LibPart_Search(API_LibPart*, warnings): finds a part by its name (docu_UName, compared without
//       regard to case) or, when the name is empty, by its unique identifier (ownUnID). Fills the
//       whole record; `location` is a new IO::Location the caller deletes.
//   LibPart_Get(API_LibPart*): the part whose `index` is given; fills the record as Search does.
//   LibPart_GetParams(index, a, b, count, handle): the part's default size and a new handle of its
//       parameter records (API_AddParType); release it with DisposeAddParHdl.
//   Goodies 'GLUI' (int32_t* number, char* out of 128 bytes): the unique identifier of the library
//       part registered under that number (132: the caption object).
//   Interface 'SETD' (API_ObjectSettingsRequest*, unused): the object tool's settings dialog for
//   one
//       subtype; 0 when the user confirmed (the object tool's defaults then hold the choice),
//       0x810600C9 when cancelled.
//   Internal 'DLPM' (KXPixMapHandle picture, API_DrawLibPartPars*): draws a library part into the
//       picture with the given parameters.
#include <cstddef>
#include <cstdint>

#include "API/ApiTypes.h"

using API_UniChar = char16_t;  // UTF-16 code unit

constexpr int kLibPartNameLength = 256;  // code units, terminator included
constexpr int kLibPartUnIDLength = 128;  // bytes, terminator included

namespace APILibPartType {
constexpr int32_t Object = 1;
}

// 1336 bytes.
struct API_LibPart {
    int32_t typeID;                              // 0: APILibPartType
    int32_t index;                               // 4: 1-based position in the library
    API_UniChar docu_UName[kLibPartNameLength];  // 8: name shown to people, at most 255 units
    API_UniChar file_UName[kLibPartNameLength];  // 520: name of the part's file in the library
    GSType subtype;                              // 1032: four-char subtype, e.g. 'Capt'
    int32_t version;                             // 1036
    uint8_t isPlaceable;                         // 1040
    uint8_t reserved[31];                        // 1041
    IO::Location* location;                      // 1072: new location object, deleted by the caller
    char parentUnID[kLibPartUnIDLength];  // 1080: unique identifier of the part it derives from
    char ownUnID[kLibPartUnIDLength];     // 1208: the part's own unique identifier
};
static_assert(sizeof(API_LibPart) == 1336);
static_assert(offsetof(API_LibPart, index) == 4);
static_assert(offsetof(API_LibPart, docu_UName) == 8);
static_assert(offsetof(API_LibPart, location) == 1072);
static_assert(offsetof(API_LibPart, ownUnID) == 1208);

namespace APIParT {
constexpr int32_t Integer = 1;
constexpr int32_t Length = 2;
constexpr int32_t RealNum = 3;
constexpr int32_t Boolean = 4;
constexpr int32_t CString = 5;
constexpr int32_t Material = 6;
constexpr int32_t PenCol = 7;
}  // namespace APIParT

constexpr int kParamNameLength = 32;     // bytes, terminator included
constexpr int kParamStringLength = 256;  // code units, terminator included

// One parameter of a library part. 1080 bytes.
struct API_AddParType {
    int32_t typeID;                               // 0: APIParT
    int16_t index;                                // 4: 1-based position in the part
    uint8_t flags;                                // 6
    uint8_t reserved;                             // 7
    char name[kParamNameLength];                  // 8: the parameter's name (8-bit text)
    API_UniChar uDescname[kParamNameLength * 8];  // 40: description shown to people
    int32_t dim1, dim2;                           // 552: array sizes, 0 for a single value
    uint8_t reserved2[8];                         // 560
    union {
        double real;                           // 568: numbers, lengths, flags, indexes
        API_UniChar uStr[kParamStringLength];  // 568: texts; unit 255 (byte 1078) stays 0
    } value;
};
static_assert(sizeof(API_AddParType) == 1080);
static_assert(offsetof(API_AddParType, name) == 8);
static_assert(offsetof(API_AddParType, value) == 568);
static_assert(offsetof(API_AddParType, value) + sizeof(API_UniChar) * 255 == 1078);

// 'SETD' first argument. 16 bytes.
struct API_ObjectSettingsRequest {
    int32_t typeID;  // 0: element type of the tool, 6 = object
    GSType subtype;  // 4: only parts of this subtype are offered, 0 = any
    uint8_t reserved[8];
};
static_assert(sizeof(API_ObjectSettingsRequest) == 16);

// 'DLPM' second argument: five 32-bit fields; the parameter handle is pointer-sized on this
// machine and sits at byte 8.
struct API_DrawLibPartPars {
    int32_t libInd;       // 0: library part index
    int32_t reserved;     // 4
    GSHandle params;      // 8: API_AddParType records; null = the part's own defaults
    int32_t frameNumber;  // 16: 1-based
    int32_t kind;         // 20: 1
    int32_t totalFrames;  // 24
    int32_t reserved2;    // 28
};
static_assert(offsetof(API_DrawLibPartPars, params) == 8);
static_assert(sizeof(API_DrawLibPartPars) == 32);

namespace APILibPartNumber {
constexpr int32_t CaptionObject = 132;
}
