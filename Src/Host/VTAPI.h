#pragma once
// The add-on's way to its host. Each VTAPI_ operation forwards to its slot of the host table; an
// empty slot answers 0x81060387 (or the operation's neutral value) without calling anything.
#include "API/ApiSlots.h"
#include "API/Selectors.h"  // the codes the selector families take: APISelector::Name

#define PW_VTAPI_DECLARE(slot, name, ret, missing, params, args) ret VTAPI_##name params;
PW_API_SLOTS(PW_VTAPI_DECLARE)
#undef PW_VTAPI_DECLARE

// Resource operations served by the module itself: its own resource file is opened at load.
// Makes the add-on's resource module active and returns the one that was active.
GSResModule VTAPI_UseOwnResModule();
void VTAPI_ResetResModule(GSResModule previous);
// String `index` of list `listID` of the active module into buf (256 bytes at least).
bool VTAPI_Resource_GetLocStr(char* buf, int16_t listID, int16_t index);
// The procedure to call when the module is unloaded without FreeData having run.
void VTAPI_SetDllTermHookProc(APIDllTermHookProc* proc);
GSResModule VTAPI_GetOwnResModule();
