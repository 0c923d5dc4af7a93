// Every file operation of the host's own saves (project file, preference store) failing in turn:
// the former file stays byte for byte, no scratch file is left, and the message says what
// happened. Written over in place (a file with a second name), the message says it may be damaged.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "Model/Element.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"
#include "Platform/FaultSweep.h"
#include "Platform/FileTestSupport.h"
#include "PreferenceStore.h"

namespace {

using FileTest::ReadBytes;
using FileTest::WriteBytes;
namespace fs = std::filesystem;

const std::vector<unsigned char> kOldFile{'f', 'o', 'r', 'm', 'e', 'r'};

TEST(HostSaveFailureTest, EveryFailingCallKeepsTheFormerFileAndSaysSo) {
    const struct {
        const char* writer;
        std::function<bool(const std::string& path, std::string& error)> save;
    } writers[] = {
        {"project file",
         [](const std::string& path, std::string& error) {
             CadHost::Project project;
             CadHost::Element wall;
             wall.type = APIElem::Wall;
             wall.id = "W-1";
             project.Add(wall);
             return CadHost::ProjectFile::Save(project, path, error);
         }},
        {"preference store",
         [](const std::string& path, std::string& error) {
             CadHost::PreferenceStore store(path);
             return store.Store("Phasework", 2, "block", 5, error);
         }},
    };
    for (const auto& w : writers) {
        for (const bool hardLinked : {false, true}) {
            SCOPED_TRACE(std::string(w.writer) + (hardLinked ? " in place" : ""));
            FileTest::TempFolder folder;
            const std::string path = folder / "file", other = folder / "other";
            std::string error;
            const FileTest::SaveCalls calls = FileTest::SweepSaveFailures(
                [&] {
                    for (const std::string& name : folder.Entries()) fs::remove(folder / name);
                    WriteBytes(path, kOldFile);
                    if (hardLinked) fs::create_hard_link(path, other);
                    error.clear();
                },
                [&] { return w.save(path, error); },
                [&](const std::string&) {
                    EXPECT_NE(error.find(path), std::string::npos) << error;
                    if (hardLinked) {
                        EXPECT_NE(error.find("may be damaged"), std::string::npos) << error;
                        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"file", "other"}));
                    } else {
                        EXPECT_NE(error.find("left as it was"), std::string::npos) << error;
                        EXPECT_EQ(ReadBytes(path), kOldFile);
                        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"file"}));
                    }
                });
            EXPECT_EQ(calls.writes, 1);
            EXPECT_EQ(calls.syncs, 1);
            EXPECT_EQ(calls.closes, 1);
            EXPECT_EQ(calls.renames, hardLinked ? 0 : 1);
        }
    }
}

}  // namespace
