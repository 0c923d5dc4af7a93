#pragma once
// Loads an add-on module the way the host does: dlopen, the two exports, the hand-over of the
// function table, then the entry points in the host's order; at the end FreeData and unload.
#include <string>

#include "API/ApiSlots.h"

namespace CadHost {

class AddOnLoader {
public:
    AddOnLoader() = default;
    ~AddOnLoader();
    AddOnLoader(const AddOnLoader&) = delete;
    AddOnLoader& operator=(const AddOnLoader&) = delete;

    // Opens the module, checks its exported record and hands over the table. False with a message
    // when the file is no add-on of this host.
    bool Load(const std::string& path, std::string& error);
    // The same for an add-on linked into the host's own program (the session fuzzer): its two
    // exports are given, its resource file is named; nothing is loaded or unloaded.
    bool Adopt(GetExportedFuncAddrsProc getExports, SetImportedFuncAddrsProc setImports,
               const std::string& resourceFile, std::string& error);
    // Environment check, registration and initialisation. False with a message when the add-on
    // declines or fails.
    bool Start(std::string& error);
    // FreeData (once, if the add-on was started), then unload.
    void Stop();
    // Unloads without FreeData, as a crashing host would (the add-on notices and logs it).
    void UnloadAbruptly();

    bool IsLoaded() const { return handle_ != nullptr || linked_; }
    bool IsStarted() const { return started_; }
    const std::string& Path() const { return path_; }
    const API_ExportedFuncs& Exports() const { return exports_; }
    // The add-on's resource file, opened by the host to show its menu; -1 when there is none.
    GSResModule Resources() const { return resources_; }
    const std::string& Name() const { return name_; }
    const std::string& Description() const { return description_; }

private:
    // Checks the exported record and hands over the table; false with a message.
    bool TakeExports(GetExportedFuncAddrsProc getExports, SetImportedFuncAddrsProc setImports,
                     const std::string& what, std::string& error);

    void* handle_ = nullptr;
    bool linked_ = false;  // adopted from the program itself: never unloaded
    std::string path_;
    API_ExportedFuncs exports_{};
    bool started_ = false;
    GSResModule resources_ = -1;
    std::string name_;
    std::string description_;
};

}  // namespace CadHost
