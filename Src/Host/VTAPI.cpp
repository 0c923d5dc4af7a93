#include "Host/VTAPI.h"

#include "Host/FunctionTable.h"
#include "Host/ModuleEntry.h"
#include "RS.h"

#define PW_VTAPI_DEFINE(slot, name, ret, missing, params, args)                  \
    ret VTAPI_##name params {                                                    \
        auto fn = reinterpret_cast<ApiFn_##name>(FunctionTable::gImpList[slot]); \
        if (fn == nullptr) return missing;                                       \
        return fn args;                                                          \
    }
PW_API_SLOTS(PW_VTAPI_DEFINE)
#undef PW_VTAPI_DEFINE

GSResModule VTAPI_UseOwnResModule() {
    const GSResModule previous = RSGetActiveModule();
    if (ModuleEntry::ownResModule != kNoResModule) RSSetActiveModule(ModuleEntry::ownResModule);
    return previous;
}

void VTAPI_ResetResModule(GSResModule previous) { RSSetActiveModule(previous); }

bool VTAPI_Resource_GetLocStr(char* buf, int16_t listID, int16_t index) {
    return RSGetIndString(buf, listID, index, RSGetActiveModule());
}

void VTAPI_SetDllTermHookProc(APIDllTermHookProc* proc) { ModuleEntry::termHook = proc; }

GSResModule VTAPI_GetOwnResModule() { return ModuleEntry::ownResModule; }
