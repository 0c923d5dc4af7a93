// The host's own files are saved the safe way: every file operation failing in turn leaves the
// former file byte for byte, no scratch file, and a message that says what happened. The
// preference store keeps the last block of each add-on over a restart and ignores a foreign file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

#include "Model/Element.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"
#include "Platform/FaultSweep.h"
#include "Platform/FileTestSupport.h"
#include "PreferenceStore.h"

namespace {

using Bytes = std::vector<unsigned char>;
using FileTest::ReadBytes;
using FileTest::WriteBytes;
namespace fs = std::filesystem;

const Bytes kOldFile{'k', 'e', 'e', 'p', ' ', 'm', 'e'};

TEST(HostSaveFailureTest, EveryFailingCallKeepsTheFormerFileAndSaysSo) {
    const struct {
        const char* name;
        std::function<bool(const std::string& path, std::string& error)> save;
    } kWriters[] = {
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
    for (const auto& w : kWriters) {
        for (const bool hardLinked : {false, true}) {
            SCOPED_TRACE(std::string(w.name) + (hardLinked ? " in place" : ""));
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
            EXPECT_EQ(std::tuple(calls.writes, calls.syncs, calls.closes, calls.renames),
                      std::tuple(1, 1, 1, hardLinked ? 0 : 1));
        }
    }
}

TEST(HostPreferenceStoreTest, TheLastBlockOfEachAddOnSurvivesARestartAndAForeignFileIsIgnored) {
    FileTest::TempFolder dir;
    const std::string path = dir / "sub/preferences.bin";
    std::string error;
    {
        CadHost::PreferenceStore store(path);
        ASSERT_TRUE(store.Store("Phasework", 2, "first", 5, error)) << error;
        ASSERT_TRUE(store.Store("Other", 7, "x", 1, error)) << error;
        ASSERT_TRUE(store.Store("Phasework", 3, "second block", 12, error)) << error;
        // A failed write keeps the block of before.
        bool stored = true;
        {
            FileTest::FileSizeLimit limit(16);
            stored = store.Store("Phasework", 4, "a new and longer block", 22, error);
        }
        EXPECT_FALSE(stored);
        EXPECT_EQ(store.Find("Phasework")->version, 3);
    }
    CadHost::PreferenceStore reopened(path);
    EXPECT_TRUE(reopened.LoadProblem().empty());
    const auto* block = reopened.Find("Phasework");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::tuple(block->version, std::string(block->bytes.begin(), block->bytes.end())),
              std::tuple(3, std::string("second block")));
    ASSERT_NE(reopened.Find("Other"), nullptr);
    EXPECT_EQ(reopened.Find("Nobody"), nullptr);

    const Bytes bytes = ReadBytes(path);
    for (size_t cut : {bytes.size() - 1, size_t{6}, size_t{2}}) {
        WriteBytes(path, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(cut)));
        CadHost::PreferenceStore damaged(path);
        EXPECT_FALSE(damaged.LoadProblem().empty()) << cut;
        EXPECT_EQ(damaged.Find("Phasework"), nullptr) << cut;
    }
}

}  // namespace
