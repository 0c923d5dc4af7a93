#pragma once
// Plain records that pass between the host and the add-on. Records whose byte layout is fixed by the
// interface keep their sizes and offsets on 64-bit machines; the static_asserts below hold them.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "API/ApiErrors.h"

using GSType = uint32_t;      // four-char code, first character in the high byte
using GSHandle = char**;      // host memory handle (BM)
using GSResModule = int32_t;  // resource module number, -1 = none
using GSPtr = char*;

constexpr GSType FourChar(const char (&s)[5]) {
    return (static_cast<GSType>(static_cast<unsigned char>(s[0])) << 24) |
           (static_cast<GSType>(static_cast<unsigned char>(s[1])) << 16) |
           (static_cast<GSType>(static_cast<unsigned char>(s[2])) << 8) |
           static_cast<GSType>(static_cast<unsigned char>(s[3]));
}

// 128-bit element identifier.
struct API_Guid {
    uint8_t bytes[16];

    bool IsNull() const {
        for (uint8_t b : bytes)
            if (b != 0) return false;
        return true;
    }
    friend bool operator==(const API_Guid& a, const API_Guid& b) {
        return a.Word(0) == b.Word(0) && a.Word(8) == b.Word(8);
    }
    // The order of the bytes as unsigned numbers, first byte first (as memcmp orders them), in
    // two steps of eight bytes: maps keyed by GUID compare often.
    friend bool operator<(const API_Guid& a, const API_Guid& b) {
        const uint64_t a0 = a.Word(0), b0 = b.Word(0);
        return a0 != b0 ? a0 < b0 : a.Word(8) < b.Word(8);
    }

private:
    // Eight bytes from `at` as one number whose first byte is the most significant.
    uint64_t Word(size_t at) const {
        uint64_t w;
        std::memcpy(&w, bytes + at, 8);
        if constexpr (std::endian::native == std::endian::little) w = __builtin_bswap64(w);
        return w;
    }
};
static_assert(sizeof(API_Guid) == 16);

using API_ElemTypeID = int32_t;  // element type code, 1..42 for model elements
using API_NeigID = int32_t;      // the host's code of a picked element part

// Environment parameters handed to the environment check. The name and description buffers sit at
// fixed offsets; the fields before them are the host's.
struct API_EnvirParams {
    int32_t serverFlags;        // nonzero: the host only asks about the add-on's status
    int32_t hostVersion;        // major * 100 + minor
    int32_t platform;           // 1 = this stand-in host
    uint8_t hostReserved[116];  // the host's own
    char addOnName[256];        // offset 128
    char addOnDescription[256]; // offset 384
};
static_assert(offsetof(API_EnvirParams, addOnName) == 128);
static_assert(offsetof(API_EnvirParams, addOnDescription) == 384);
static_assert(sizeof(API_EnvirParams) == 640);

// Menu command parameters: the item index is the 32-bit field at offset 4.
struct API_MenuParams {
    int16_t menuResID;
    int16_t reserved;
    int32_t itemIndex;  // offset 4, 1-based
    int32_t reserved2[6];
};
static_assert(offsetof(API_MenuParams, itemIndex) == 4);

using API_NotifyEventID = int32_t;
namespace APINotify {
constexpr int32_t New = 2;
constexpr int32_t Close = 32;
constexpr int32_t SignIn = 8192;
constexpr int32_t SignOut = 16384;
}  // namespace APINotify

// Project information ('PROJ'). 56 bytes. Byte 1 is the shared-project flag, bytes 2-3 the
// signed-in user's number. The two location objects are heap IO::Location objects that the caller
// deletes; on 64-bit machines they are pointer-sized and sit at bytes 8 and 16.
namespace IO {
class Location;
}
struct API_ProjectInfo {
    uint8_t untitled;
    uint8_t teamwork;  // byte 1: shared project
    int16_t userId;    // byte 2
    int32_t reserved;
    IO::Location* location;      // byte 8
    IO::Location* locationTeam;  // byte 16
    uint8_t reserved2[32];
};
static_assert(sizeof(API_ProjectInfo) == 56);
static_assert(offsetof(API_ProjectInfo, userId) == 2);
static_assert(offsetof(API_ProjectInfo, location) == 8);

using APIMenuCommandProc = GSErrCode(const API_MenuParams* params);
using APIProjectEventHandlerProc = GSErrCode(API_NotifyEventID notifID, int32_t param);
using APIPaletteControlCallBackProc = GSErrCode(int32_t referenceID, int32_t messageID,
                                                intptr_t param);

// The messages the host sends a registered modeless window through its callback.
using API_PaletteMessageID = int32_t;
namespace APIPalMsg {
constexpr API_PaletteMessageID ClosePalette = 1;      // close it (as its close box would)
constexpr API_PaletteMessageID HidePaletteBegin = 2;  // the host hides palettes for a while
constexpr API_PaletteMessageID HidePaletteEnd = 3;    // that while is over
constexpr API_PaletteMessageID DisableItems = 4;      // the model may not be changed now
constexpr API_PaletteMessageID EnableItems = 5;       // it may again
}  // namespace APIPalMsg

// One item of an add-on's menu ('SMIT' sets its text: par1 this, par2 the text).
struct API_MenuItemRef {
    int16_t menuResID;
    int16_t itemIndex;  // from 1
};
using APIDllTermHookProc = void();

// Element-level records whose layout belongs to the model; defined in API/Elements.h.
struct API_Elem_Head;
union API_Element;
struct API_ElementMemo;
struct API_ElementUserData;
struct API_SelectionInfo;
struct API_Neig;
union API_Attribute;
struct API_AttributeDefExt;
struct API_LibPart;
