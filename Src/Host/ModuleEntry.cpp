#include "Host/ModuleEntry.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "AddOn/AddOnMain.h"
#include "CH.h"
#include "DebugLog.h"
#include "Host/FunctionTable.h"
#include "RS.h"

namespace ModuleEntry {

void* clientPtr = nullptr;
GSResModule ownResModule = kNoResModule;
char moduleFileName[257] = {};
char modulePath[1025] = {};
APIDllTermHookProc* termHook = nullptr;

IO::Location ModuleLocation() { return IO::Location(modulePath); }

bool OpenOwnResourceFileAt(const std::string& path) {
    DllMainImp_CloseResModule();
    ownResModule = RSOpenResourceFile(path.c_str());
    return ownResModule != kNoResModule;
}

bool DelayedInitRequested() { return std::getenv("PW_DELAYED_INIT") != nullptr; }

}  // namespace ModuleEntry

void GetExportedFuncAddrs(API_ExportedFuncs* record) {
    if (record == nullptr) return;
    std::memset(record, 0, sizeof(*record));
    record->version = kApiExportVersion;
    record->checkEnvironment = My_CheckEnvironment;
    record->registerInterface = My_RegisterInterface;
    record->initialize = My_Initialize;
    record->freeData = My_FreeData;
    record->magic = kApiExportMagic;
}

int32_t SetImportedFuncAddrs(const ApiFunctionTable* table) {
    FunctionTable::CopyFrom(table);
    return 0;
}

int32_t My_CheckEnvironment(API_EnvirParams* params) {
    if (!FunctionTable::IsHandedOver()) return 0;
    return CheckEnvironment(params);
}

GSErrCode My_RegisterInterface() {
    if (!FunctionTable::IsHandedOver()) return ApiErr::NotInitialized;
    return RegisterInterface();
}

GSErrCode My_Initialize(void* clientPtr) {
    if (!FunctionTable::IsHandedOver()) return ApiErr::NotInitialized;
    ModuleEntry::clientPtr = clientPtr;
    return Initialize();
}

GSErrCode My_FreeData() {
    if (!FunctionTable::IsHandedOver()) return ApiErr::NotInitialized;
    const GSErrCode err = FreeData();
    ModuleEntry::clientPtr = nullptr;
    return err;
}

IO::Location DllMainImp_GetLocation() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&DllMainImp_GetLocation), &info) == 0 ||
        info.dli_fname == nullptr)
        return IO::Location();
    return IO::Location(info.dli_fname);
}

GSResModule DllMainImp_OpenResModule() {
    const IO::Location location = DllMainImp_GetLocation();
    if (location.IsEmpty()) return kNoResModule;
    // Opening a resource file leaves the active module as it is.
    return RSOpenResourceFile(RSResourceFileBeside(location.ToPath()).c_str());
}

void DllMainImp_CloseResModule() {
    if (ModuleEntry::ownResModule == kNoResModule) return;
    RSCloseResourceFile(ModuleEntry::ownResModule);
    ModuleEntry::ownResModule = kNoResModule;
}

void KXInitImage() {
    if (ModuleEntry::DelayedInitRequested()) return;
    // Inside a loaded module this runs when the module is unloaded, in the process at exit.
    std::atexit(KXTermImage);
    const IO::Location location = DllMainImp_GetLocation();
    CHTruncate(location.ToPath().c_str(), ModuleEntry::modulePath, sizeof(ModuleEntry::modulePath));
    CHTruncate(location.GetLastLocalName().c_str(), ModuleEntry::moduleFileName,
               sizeof(ModuleEntry::moduleFileName));
    ModuleEntry::ownResModule = DllMainImp_OpenResModule();
}

void KXTermImage() {
    // Whatever the way out (FreeData already ran, or the host quit or dropped the module without
    // it), the add-on's objects end here at the latest, while the module's code is still there.
    TearDownAddOn();
    DllMainImp_CloseResModule();
    if (ModuleEntry::clientPtr != nullptr) {
        DBPrintf("Abnormal add-on termination (\"%s\")", ModuleEntry::modulePath);
        if (ModuleEntry::termHook != nullptr) {
            DBPrintf(", calling custom DllTermHookProc\n");
            ModuleEntry::termHook();
        } else {
            DBPrintf("\n");
        }
        ModuleEntry::clientPtr = nullptr;
    }
}
