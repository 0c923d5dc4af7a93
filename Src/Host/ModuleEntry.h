#pragma once
// The module's binding to its host: the two exports, the entry-point wrappers that check the
// hand-over, and what happens at load and unload.
#include <string>

#include "API/ApiSlots.h"
#include "IO/Location.h"

#define PW_EXPORT extern "C" __attribute__((visibility("default")))

// Host calls this first: fills the record with the version and the four entry points.
PW_EXPORT void GetExportedFuncAddrs(API_ExportedFuncs* record);
// Host calls this second: copies the host table; returns 0.
PW_EXPORT int32_t SetImportedFuncAddrs(const ApiFunctionTable* table);

// Entry points as the host calls them; each answers 0x81060001 (0 for the environment check)
// while no table has been handed over.
int32_t My_CheckEnvironment(API_EnvirParams* params);
GSErrCode My_RegisterInterface();
GSErrCode My_Initialize(void* clientPtr);
GSErrCode My_FreeData();

// Load and unload of the module image.
void KXInitImage();
void KXTermImage();

// The module's own file, found through its loaded image.
IO::Location DllMainImp_GetLocation();
// Opens the resource file installed beside the module; -1 when there is none to open.
GSResModule DllMainImp_OpenResModule();
void DllMainImp_CloseResModule();

namespace ModuleEntry {

// Plain data without constructors: it is set while the module's globals are built and read while
// they are destroyed, so it must not depend on their order.
extern void* clientPtr;
extern GSResModule ownResModule;
extern char moduleFileName[257];  // last path component, UTF-8, at most 256 bytes
extern char modulePath[1025];     // the module's file, at most 1024 bytes
extern APIDllTermHookProc* termHook;

IO::Location ModuleLocation();

// Opens a given resource file as the module's own (tests, which link the units without a module).
bool OpenOwnResourceFileAt(const std::string& path);
// Whether the host support library asked for delayed initialisation (never in this host).
bool DelayedInitRequested();

}  // namespace ModuleEntry
