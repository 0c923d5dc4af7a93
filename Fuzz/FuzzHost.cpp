#include "FuzzHost.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "Host.h"
#include "Host/ModuleEntry.h"
#include "PreferenceStore.h"
#include "Registry.h"

FuzzHost& FuzzHost::Get() {
    static FuzzHost host;
    return host;
}

FuzzHost::FuzzHost() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pwfuzz.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) FuzzFailure("no temporary folder");
    folder = pattern;
    // The folder goes when the process ends normally; a finding leaves it for a look.
    static const std::string toRemove = folder;
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(toRemove, ec);
    });

    if (!ModuleEntry::OpenOwnResourceFileAt(PW_RESOURCE_FILE)) FuzzFailure("no resource file");
    CadHost::Host::Get().SetPreferenceStore(std::make_unique<CadHost::PreferenceStore>());
    static const ApiFunctionTable table = CadHost::Registry::Get().BuildTable();
    if (SetImportedFuncAddrs(&table) != 0) FuzzFailure("the host's table was refused");
    DG::SetUserAgent(this);
}

std::string FuzzHost::WriteInput(const std::string& name, const uint8_t* data, size_t size) const {
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) FuzzFailure("the input could not be written");
    return path;
}

void FuzzHost::Reinstall() { DG::SetUserAgent(this); }

int16_t FuzzHost::AnswerAlert(const DG::AlertRequest&) {
    ++alertCount;
    return 1;
}

std::vector<std::string> FuzzHost::AnswerDialog(const DG::DialogRequest&) { return dialogAnswer; }

void FuzzFailure(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
