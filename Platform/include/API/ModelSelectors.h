#pragma once
// Selector calls about the model, databases and windows, with what they pass. Every call returns
// 0 on success.
#include "API/ApiTypes.h"

namespace APISelector {
// VTAPI_Environment: the single-element editing mode, on (1) or off (0). In this mode an element
// that belongs to a group can be changed on its own.
//   'GSEM' par1: int32_t* out             'SSEM' par1: const int32_t* in (0 or 1)
constexpr GSType GetSingleElementMode = FourChar("GSEM");
constexpr GSType SetSingleElementMode = FourChar("SSEM");

// VTAPI_Automate.
//   'RBLD' par1: const uint8_t* (1 = rebuild everything, 0 = only what changed); may be null
//   'RDRW' no parameters: redraw the windows
//   'CHWD' par1: const API_WindowInfo*: makes that window current (kind 4 = the 3D window); the
//          current database becomes the window's
constexpr GSType Rebuild = FourChar("RBLD");
constexpr GSType Redraw = FourChar("RDRW");
constexpr GSType ChangeWindow = FourChar("CHWD");

// VTAPI_Database.
//   'GDAT' par1: API_DatabaseInfo* out: the current database
//   'CDAT' par1: const API_DatabaseInfo*: makes that database current (kind and index; index 0 =
//          the first of the kind); the current window stays
//   'GWIN' par1: API_WindowInfo* out: the current window
constexpr GSType GetCurrentDatabase = FourChar("GDAT");
constexpr GSType ChangeCurrentDatabase = FourChar("CDAT");
constexpr GSType GetCurrentWindow = FourChar("GWIN");

// VTAPI_Goodies.
//   'GETN' par1: const API_ElemTypeID*, par2: char* out, at least 32 bytes: the type's name
//   'MCOP' / 'MCCL' no parameters: open and close a bracket around many element changes (the
//          host redraws and rebuilds once, at the close of the outermost bracket). Brackets nest.
constexpr GSType GetTypeName = FourChar("GETN");
constexpr GSType OpenMassChange = FourChar("MCOP");
constexpr GSType CloseMassChange = FourChar("MCCL");
}  // namespace APISelector
