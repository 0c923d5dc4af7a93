#pragma once
// The host function table: 424 pointer-sized slots. The slot of every operation is fixed here, and
// both sides include this header: the host fills the slots, the add-on's VTAPI_ forwarders call
// through them. An operation's contract is written beside it in one line.
//
// X(slot, Name, ReturnType, ValueWhenSlotEmpty, (parameters), (arguments))
#include <cstdint>

#include "API/ApiTypes.h"

constexpr int kApiSlotCount = 424;

#define PW_API_SLOTS(X)                                                                           \
    /* Host state queries and switches by selector ('KXPF', 'GP3D', 'GW3D', 'GREN', 'CP3D', ...). */ \
    X(1, Environment, GSErrCode, ApiErr::MissingSlot, (GSType selector, void* par1, void* par2),     \
      (selector, par1, par2))                                                                     \
    /* Registration during RegisterInterface; menus and events during Initialize. */              \
    X(10, Register_Menu, GSErrCode, ApiErr::MissingSlot,                                          \
      (int16_t menuResID, int16_t promptResID, int32_t menuPosCode, int32_t menuFlags),            \
      (menuResID, promptResID, menuPosCode, menuFlags))                                           \
    X(11, Register_Subtype, GSErrCode, ApiErr::MissingSlot,                                       \
      (GSType signature, int16_t templateVersion, int32_t transparentNode, int16_t templateResID,   \
       int32_t hasParams, int32_t hasIcon, int16_t iconResID, int16_t descResID,                  \
       int32_t libPartVersion),                                                                   \
      (signature, templateVersion, transparentNode, templateResID, hasParams, hasIcon, iconResID, \
       descResID, libPartVersion))                                                                \
    X(12, Install_MenuHandler, GSErrCode, ApiErr::MissingSlot,                                    \
      (int16_t menuResID, APIMenuCommandProc* handler), (menuResID, handler))                     \
    X(13, Notify_CatchProjectEvent, GSErrCode, ApiErr::MissingSlot,                               \
      (int32_t eventMask, APIProjectEventHandlerProc* handler), (eventMask, handler))             \
    X(14, KeepInMemory, GSErrCode, ApiErr::MissingSlot, (bool keep), (keep))                      \
    X(15, RegisterModelessWindow, GSErrCode, ApiErr::MissingSlot,                                 \
      (int32_t referenceID, APIPaletteControlCallBackProc* callback, int32_t controlFlags),       \
      (referenceID, callback, controlFlags))                                                      \
    X(16, UnregisterModelessWindow, GSErrCode, ApiErr::MissingSlot, (int32_t referenceID),        \
      (referenceID))                                                                              \
    /* Preferences: a null buffer asks for version and size; otherwise the block is copied. */    \
    X(17, GetPreferences, GSErrCode, ApiErr::MissingSlot,                                         \
      (int32_t * version, int32_t* size, void* buffer), (version, size, buffer))                  \
    X(18, SetPreferences, GSErrCode, ApiErr::MissingSlot,                                         \
      (int32_t version, int32_t size, const void* buffer), (version, size, buffer))               \
    /* One line into the host's report window; withAlert also shows it at once. */                \
    X(20, WriteReport, GSErrCode, ApiErr::MissingSlot, (const char* text, bool withAlert),        \
      (text, withAlert))                                                                          \
    /* Changes between open and close form one undo step named by the title. */                   \
    X(21, OpenUndoableSession, GSErrCode, ApiErr::MissingSlot, (const char* title), (title))      \
    X(22, CloseUndoableSession, GSErrCode, ApiErr::MissingSlot, (), ())                           \
    /* Elements. */                                                                               \
    X(30, Element_Get, GSErrCode, ApiErr::MissingSlot, (API_Element * element, uint32_t mask),   \
      (element, mask))                                                                            \
    X(31, Element_GetHeader, GSErrCode, ApiErr::MissingSlot,                                      \
      (API_Elem_Head * header, uint32_t mask), (header, mask))                                    \
    X(32, Element_GetNum, GSErrCode, ApiErr::MissingSlot,                                         \
      (API_ElemTypeID typeID, int32_t * count), (typeID, count))                                  \
    /* guids: out, a new handle of API_Guid entries in index order; the caller kills it. */       \
    X(33, Element_GetElemList, GSErrCode, ApiErr::MissingSlot,                                    \
      (API_ElemTypeID typeID, GSHandle * guids), (typeID, guids))                                 \
    X(34, Element_Filter, bool, false,                                                            \
      (const API_Guid* guid, int32_t filterBits, API_ElemTypeID typeID), (guid, filterBits, typeID)) \
    X(35, Element_Filter_Index, bool, false,                                                      \
      (API_ElemTypeID typeID, int32_t index, int32_t filterBits), (typeID, index, filterBits))    \
    X(36, Element_Select, GSErrCode, ApiErr::MissingSlot,                                         \
      (const API_Neig* neigs, int32_t count, bool add), (neigs, count, add))                      \
    X(37, Element_Change, GSErrCode, ApiErr::MissingSlot,                                         \
      (API_Element * element, const API_Element* mask, API_ElementMemo* memo, uint64_t memoMask,  \
       bool withDelete),                                                                          \
      (element, mask, memo, memoMask, withDelete))                                                \
    /* headers: a handle of API_Elem_Head entries; GUIDs may be written back. */                  \
    X(38, Element_Tool, GSErrCode, ApiErr::MissingSlot,                                           \
      (GSHandle headers, int32_t count, GSType toolCode, void* param),                            \
      (headers, count, toolCode, param))                                                          \
    X(39, Element_GetDefaults, GSErrCode, ApiErr::MissingSlot,                                    \
      (API_Element * element, API_ElementMemo* memo), (element, memo))                            \
    X(40, Element_ChangeDefaults, GSErrCode, ApiErr::MissingSlot,                                 \
      (API_Element * element, API_ElementMemo* memo, const API_Element* mask),                    \
      (element, memo, mask))                                                                      \
    X(41, Element_GetUserData, GSErrCode, ApiErr::MissingSlot,                                    \
      (API_Elem_Head * header, API_ElementUserData* userData, uint32_t mask),                     \
      (header, userData, mask))                                                                   \
    X(42, Element_SetUserData, GSErrCode, ApiErr::MissingSlot,                                    \
      (API_Elem_Head * header, const API_ElementUserData* userData), (header, userData))          \
    X(43, Element_DeleteUserData, GSErrCode, ApiErr::MissingSlot, (API_Elem_Head * header),      \
      (header))                                                                                   \
    X(44, Element_NeigIDToTypeID, GSErrCode, ApiErr::MissingSlot,                                 \
      (API_NeigID neigID, API_ElemTypeID * typeID), (neigID, typeID))                             \
    /* neigs: out, a new handle of API_Neig entries (may be null to skip); the caller kills it. */ \
    X(45, Selection_Get, GSErrCode, ApiErr::MissingSlot,                                          \
      (API_SelectionInfo * info, GSHandle * neigs, bool onlyEditable), (info, neigs, onlyEditable)) \
    X(46, DisposeElemMemoHdls, GSErrCode, ApiErr::MissingSlot, (API_ElementMemo * memo), (memo))  \
    X(47, DisposeAddParHdl, GSErrCode, ApiErr::MissingSlot, (GSHandle * addPars), (addPars))      \
    /* Attributes (layers, pens, materials). */                                                   \
    X(50, Attribute_Get, GSErrCode, ApiErr::MissingSlot, (API_Attribute * attribute), (attribute)) \
    X(51, Attribute_GetNum, GSErrCode, ApiErr::MissingSlot, (int32_t typeID, int32_t * count),    \
      (typeID, count))                                                                            \
    X(52, Attribute_Search, GSErrCode, ApiErr::MissingSlot, (API_Attribute * attribute),          \
      (attribute))                                                                                \
    X(53, Attribute_Create, GSErrCode, ApiErr::MissingSlot,                                       \
      (API_Attribute * attribute, API_AttributeDefExt* defs), (attribute, defs))                  \
    X(54, Attribute_Modify, GSErrCode, ApiErr::MissingSlot,                                       \
      (API_Attribute * attribute, API_AttributeDefExt* defs), (attribute, defs))                  \
    /* Library parts. */                                                                          \
    X(60, LibPart_Search, GSErrCode, ApiErr::MissingSlot, (API_LibPart * libPart, bool warnings), \
      (libPart, warnings))                                                                        \
    X(61, LibPart_Get, GSErrCode, ApiErr::MissingSlot, (API_LibPart * libPart), (libPart))        \
    /* addPars: out, a new handle of 1080-byte parameter records. */                              \
    X(62, LibPart_GetParams, GSErrCode, ApiErr::MissingSlot,                                      \
      (int32_t libInd, double* a, double* b, int32_t* addParNum, GSHandle* addPars),              \
      (libInd, a, b, addParNum, addPars))                                                         \
    /* Selector families: databases and windows, automation, interface, goodies, internal. */     \
    X(70, Database, GSErrCode, ApiErr::MissingSlot, (GSType code, void* par1, void* par2),        \
      (code, par1, par2))                                                                         \
    X(71, Automate, GSErrCode, ApiErr::MissingSlot, (GSType code, void* par1, void* par2),        \
      (code, par1, par2))                                                                         \
    X(72, Interface, GSErrCode, ApiErr::MissingSlot, (GSType code, void* par1, void* par2),       \
      (code, par1, par2))                                                                         \
    X(73, Goodies, GSErrCode, ApiErr::MissingSlot, (GSType code, void* par1, void* par2),         \
      (code, par1, par2))                                                                         \
    X(74, Internal, GSErrCode, ApiErr::MissingSlot, (GSType code, void* par1, void* par2),        \
      (code, par1, par2))

// Slot numbers and function types: ApiSlot::Name and ApiFn_Name.
namespace ApiSlot {
#define PW_API_SLOT_ENUM(slot, name, ret, missing, params, args) constexpr int name = slot;
PW_API_SLOTS(PW_API_SLOT_ENUM)
#undef PW_API_SLOT_ENUM
}  // namespace ApiSlot

#define PW_API_SLOT_TYPE(slot, name, ret, missing, params, args) \
    using ApiFn_##name = ret(*) params;                        \
    static_assert(slot > 0 && slot < kApiSlotCount);
PW_API_SLOTS(PW_API_SLOT_TYPE)
#undef PW_API_SLOT_TYPE

// The table as the host builds it and hands it over.
struct ApiFunctionTable {
    void* slots[kApiSlotCount];
};
static_assert(sizeof(ApiFunctionTable) == kApiSlotCount * sizeof(void*));

// The record the module fills for the host: version first, then the four entry points. Address
// fields are pointer-sized on this machine; the order is the interface's.
using APIEntry_CheckEnvironment = int32_t (*)(API_EnvirParams*);
using APIEntry_RegisterInterface = GSErrCode (*)();
using APIEntry_Initialize = GSErrCode (*)(void* clientPtr);
using APIEntry_FreeData = GSErrCode (*)();

struct API_ExportedFuncs {
    uint32_t version;  // 0x000C0001
    APIEntry_CheckEnvironment checkEnvironment;
    APIEntry_RegisterInterface registerInterface;
    APIEntry_Initialize initialize;
    APIEntry_FreeData freeData;
    uint32_t magic;  // 12001
    uint8_t reserved[36];
};
constexpr uint32_t kApiExportVersion = 0x000C0001;
constexpr uint32_t kApiExportMagic = 12001;

extern "C" {
using GetExportedFuncAddrsProc = void (*)(API_ExportedFuncs* record);
using SetImportedFuncAddrsProc = int32_t (*)(const ApiFunctionTable* table);
}
