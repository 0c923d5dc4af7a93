#pragma once
// Every selector that passes through the function table's selector families, with the family that
// serves it. Both sides take the codes from this one list: the host registers one handler for
// each, the add-on sends them by name (APISelector::ProjectInfo), never as four characters of its
// own. A boundary test holds the two sides to the list. Adding a selector is one line here.
//
// Every call answers 0 on success. The records a call passes are described beside the records
// (API/View3D.h, API/LibParts.h, API/Database.h, API/ApiTypes.h) or on the line itself.
#include <cstddef>
#include <iterator>

#include "API/ApiTypes.h"

// The function-table slots that take a selector; each serves a family of calls.
enum class ApiFamily { Environment, Database, Automate, Interface, Goodies, Internal };

// X(Family, Name, "CODE")
#define PW_API_SELECTORS(X)                                                                       \
    /* Environment: the project, folders, the 3D view, editing modes. */                          \
    X(Environment, ProjectInfo, "PROJ")     /* API_ProjectInfo* out; caller deletes locations */  \
    X(Environment, SpecialFolder, "KXPF")   /* const int32_t* kind, IO::Location* out */          \
    X(Environment, Get3DProjection, "GP3D") /* API_3DProjectionInfo* out */                       \
    X(Environment, Set3DProjection, "CP3D") /* const API_3DProjectionInfo* */                     \
    X(Environment, Get3DWindow, "GW3D")     /* API_3DWindowInfo* out */                           \
    X(Environment, GetRendering, "GREN")    /* API_RenderingInfo* out */                          \
    /* The single-element editing mode: an element of a group can be changed on its own. */       \
    X(Environment, GetSingleElementMode, "GSEM") /* int32_t* out, 0 or 1 */                       \
    X(Environment, SetSingleElementMode, "SSEM") /* const int32_t* in, 0 or 1 */                  \
    /* A count that grows with every change of the model (elements, attributes, undo and redo);   \
       no two projects share a value. Hosts without one answer an error. */                       \
    X(Environment, ModelStamp, "MSTP") /* uint64_t* out */                                        \
    /* The construction plan the model came with (API/WorkPlan.h); no plan: zero counts. */       \
    X(Environment, WorkPlan, "WPLN") /* API_WorkPlan* out; caller kills its three handles */      \
    /* An element's properties: name NUL value NUL, pair after pair; empty when it has none. */   \
    X(Environment, ElementProperties, "EPRP") /* const API_Guid*, GSHandle* out; caller kills */  \
    /* Pictures: lines and legend (API/View3D.h). */                                              \
    X(Environment, PictureStyle, "PSTY") /* const API_PictureStyle* in, API_PictureStyle* out */  \
    X(Environment, SetLegend, "LGND")    /* const API_Legend* */                                  \
    /* Database: the current database and window (API/Database.h). */                             \
    X(Database, GetCurrentDatabase, "GDAT")    /* API_DatabaseInfo* out */                        \
    X(Database, ChangeCurrentDatabase, "CDAT") /* const API_DatabaseInfo*; the window stays */    \
    X(Database, GetCurrentWindow, "GWIN")      /* API_WindowInfo* out */                          \
    /* Automate. */                                                                               \
    X(Automate, Rebuild, "RBLD") /* const uint8_t* (1 everything, 0 what changed), may be null */ \
    X(Automate, Redraw, "RDRW")  /* no parameters */                                              \
    X(Automate, ChangeWindow, "CHWD") /* const API_WindowInfo*; makes its database current */     \
    /* Interface. */                                                                              \
    X(Interface, ObjectSettings, "SETD") /* API_ObjectSettingsRequest* (API/LibParts.h) */        \
    X(Interface, SetMenuItemText, "SMIT") /* const API_MenuItemRef*, const char* text */          \
    /* Goodies. */                                                                                \
    X(Goodies, GetTypeName, "GETN") /* const API_ElemTypeID*, char* out of 32 bytes */            \
    /* A bracket around many element changes: one redraw and rebuild at the outermost close. */   \
    X(Goodies, OpenMassChange, "MCOP")     /* no parameters; brackets nest */                     \
    X(Goodies, CloseMassChange, "MCCL")    /* no parameters */                                    \
    X(Goodies, PictureSeriesBegin, "PSBG") /* no parameters: a series of pictures (a movie) */    \
    X(Goodies, PictureSeriesEnd, "PSEN")   /* no parameters */                                    \
    X(Goodies, GetLibPartUnID, "GLUI")     /* int32_t* number, char* out of 128 bytes */          \
    /* Internal. */                                                                               \
    X(Internal, MakePicture, "CIMG")       /* KXPixMapHandle* in/out, API_PictureRequest* */      \
    X(Internal, PictureSeriesFlag, "SECF") /* const uint8_t* 1 at the start, 0 at the end */      \
    X(Internal, SlideShowCameras, "SLSH")  /* int32_t* path number, GSHandle* out */              \
    X(Internal, DrawLibPart, "DLPM")       /* KXPixMapHandle, API_DrawLibPartPars* */

// The codes by name: APISelector::ProjectInfo.
namespace APISelector {
#define PW_API_SELECTOR_CODE(family, name, code) constexpr GSType name = FourChar(code);
PW_API_SELECTORS(PW_API_SELECTOR_CODE)
#undef PW_API_SELECTOR_CODE
}  // namespace APISelector

// The whole list, for the host's registry and the boundary tests.
struct ApiSelectorEntry {
    ApiFamily family;
    GSType code;
    const char* name;
};

inline constexpr ApiSelectorEntry kApiSelectors[] = {
#define PW_API_SELECTOR_ENTRY(family, name, code) {ApiFamily::family, FourChar(code), #name},
    PW_API_SELECTORS(PW_API_SELECTOR_ENTRY)
#undef PW_API_SELECTOR_ENTRY
};

// The listed entry of a selector in a family, null when the family has no such selector.
constexpr const ApiSelectorEntry* FindApiSelector(ApiFamily family, GSType code) {
    for (const auto& entry : kApiSelectors)
        if (entry.family == family && entry.code == code) return &entry;
    return nullptr;
}

constexpr bool ApiSelectorsAreUnique() {
    for (size_t i = 0; i < std::size(kApiSelectors); ++i)
        for (size_t j = i + 1; j < std::size(kApiSelectors); ++j)
            if (kApiSelectors[i].family == kApiSelectors[j].family &&
                kApiSelectors[i].code == kApiSelectors[j].code)
                return false;
    return true;
}
static_assert(ApiSelectorsAreUnique(), "a code is listed twice in one family");
