#include "AddOnLoader.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>

#include "Host.h"
#include "RS.h"
#include "Registry.h"

namespace CadHost {
namespace {
// The client value the host passes to Initialize and expects the add-on to keep.
int clientRecord = 0;
}  // namespace

AddOnLoader::~AddOnLoader() { Stop(); }

bool AddOnLoader::Load(const std::string& path, std::string& error) {
    if (IsLoaded()) {
        error = "an add-on is already loaded";
        return false;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        error = "cannot load add-on " + path + ": " + (why != nullptr ? why : "unknown error");
        return false;
    }
    auto getExports =
        reinterpret_cast<GetExportedFuncAddrsProc>(dlsym(handle, "GetExportedFuncAddrs"));
    auto setImports =
        reinterpret_cast<SetImportedFuncAddrsProc>(dlsym(handle, "SetImportedFuncAddrs"));
    if (getExports == nullptr || setImports == nullptr) {
        dlclose(handle);
        error = path + " is not an add-on: GetExportedFuncAddrs or SetImportedFuncAddrs is missing";
        return false;
    }
    if (!TakeExports(getExports, setImports, path, error)) {
        dlclose(handle);
        return false;
    }
    handle_ = handle;
    path_ = path;

    resources_ = RSOpenResourceFile(RSResourceFileBeside(path).c_str());

    Host::Get().preferenceKey = std::filesystem::path(path).stem().string();
    return true;
}

bool AddOnLoader::Adopt(GetExportedFuncAddrsProc getExports, SetImportedFuncAddrsProc setImports,
                        const std::string& resourceFile, std::string& error) {
    if (IsLoaded()) {
        error = "an add-on is already loaded";
        return false;
    }
    if (!TakeExports(getExports, setImports, "the linked add-on", error)) return false;
    linked_ = true;
    path_ = resourceFile;
    resources_ = RSOpenResourceFile(resourceFile.c_str());
    Host::Get().preferenceKey = std::filesystem::path(resourceFile).stem().string();
    return true;
}

bool AddOnLoader::TakeExports(GetExportedFuncAddrsProc getExports,
                              SetImportedFuncAddrsProc setImports, const std::string& what,
                              std::string& error) {
    API_ExportedFuncs record;
    std::memset(&record, 0xA5, sizeof(record));  // the add-on must fill every byte
    getExports(&record);
    if (record.version != kApiExportVersion || record.magic != kApiExportMagic ||
        record.checkEnvironment == nullptr || record.registerInterface == nullptr ||
        record.initialize == nullptr || record.freeData == nullptr) {
        error = what + " is an add-on of another interface version";
        return false;
    }
    const ApiFunctionTable table = Registry::Get().BuildTable();
    if (setImports(&table) != 0) {
        error = what + " refused the function table";
        return false;
    }
    exports_ = record;
    return true;
}

bool AddOnLoader::Start(std::string& error) {
    if (!IsLoaded()) {
        error = "no add-on is loaded";
        return false;
    }
    API_EnvirParams envir;
    std::memset(&envir, 0, sizeof(envir));
    envir.hostVersion = 100;
    envir.platform = 1;
    const int32_t status = exports_.checkEnvironment(&envir);
    envir.addOnName[sizeof(envir.addOnName) - 1] = '\0';
    envir.addOnDescription[sizeof(envir.addOnDescription) - 1] = '\0';
    name_ = envir.addOnName;
    description_ = envir.addOnDescription;
    if (status != 2) {
        error = "the add-on declined to run (environment check answered " + std::to_string(status) +
                ")";
        return false;
    }
    GSErrCode err = exports_.registerInterface();
    if (err != ApiErr::NoError) {
        error = "the add-on's registration failed with error " + std::to_string(err);
        return false;
    }
    err = exports_.initialize(&clientRecord);
    if (err != ApiErr::NoError) {
        error = "the add-on's initialisation failed with error " + std::to_string(err);
        // It was initialised as far as it got; FreeData still runs at the end.
        started_ = true;
        return false;
    }
    started_ = true;
    return true;
}

void AddOnLoader::Stop() {
    if (!IsLoaded()) return;
    if (started_) {
        exports_.freeData();
        started_ = false;
    }
    UnloadAbruptly();
}

void AddOnLoader::UnloadAbruptly() {
    if (!IsLoaded()) return;
    if (resources_ != -1) RSCloseResourceFile(resources_);
    resources_ = -1;
    Host::Get().ForgetAddOn();
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = nullptr;
    linked_ = false;
    started_ = false;
}

}  // namespace CadHost
