// The host's project file reader on any bytes. A file that is refused comes with a message and
// leaves the open project as it was; a project that is read writes out as a text that reads back
// to the same project.
#include <string>

#include "FuzzHost.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzHost& host = FuzzHost::Get();
    const std::string before = CadHost::ProjectFile::ToText(CadHost::CurrentProject());
    const std::string path = host.WriteInput("in.json", data, size);
    std::string error;
    const std::unique_ptr<CadHost::Project> project = CadHost::ProjectFile::Open(path, error);
    FUZZ_CHECK(CadHost::ProjectFile::ToText(CadHost::CurrentProject()) == before);
    if (!project) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    const std::string text = CadHost::ProjectFile::ToText(*project);
    std::string againError;
    const std::unique_ptr<CadHost::Project> again =
        CadHost::ProjectFile::FromText(text, againError);
    FUZZ_CHECK(again != nullptr);
    FUZZ_CHECK(CadHost::ProjectFile::ToText(*again) == text);
    return 0;
}
