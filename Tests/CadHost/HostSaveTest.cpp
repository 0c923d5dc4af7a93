// The host's own files, the preference store and the project file, are saved the safe way: every
// file operation failing in turn leaves the former file byte for byte and no scratch file, and the
// message says what happened (written over in place, a file with a second name, it may be
// damaged); a write-protected file is refused; a writable file in a folder that may not be written
// is saved; every name of a hard-linked file sees the new content. The preference store keeps the
// last block of each add-on over a restart and ignores a foreign file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "Model/Element.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"
#include "Platform/FaultSweep.h"
#include "Platform/FileTestSupport.h"
#include "Platform/SavePermissionCases.h"
#include "PreferenceStore.h"

namespace {

using Bytes = std::vector<unsigned char>;
using FileTest::ReadBytes;
using FileTest::WriteBytes;
namespace fs = std::filesystem;

const Bytes kOldFile{'k', 'e', 'e', 'p', ' ', 'm', 'e'};

void Append32(Bytes& b, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<unsigned char>(v >> shift));
}

// A project whose file grows with `size`.
void FillProject(CadHost::Project& project, size_t size) {
    CadHost::Element wall;
    wall.type = APIElem::Wall;
    wall.id = std::string(size, 'w');
    project.Add(wall);
}

struct Writer {
    const char* name;
    // Saves into path (with `size` bytes of payload); false with a message.
    std::function<bool(const std::string& path, size_t size, std::string& error)> save;
    // The bytes a successful save of `size` bytes of payload leaves.
    std::function<Bytes(size_t size)> expected;
};

const Writer kWriters[] = {
    {"preference store",
     [](const std::string& path, size_t size, std::string& error) {
         CadHost::PreferenceStore store(path);
         const std::string block(size, 'p');
         return store.Store("Phasework", 2, block.data(), static_cast<int32_t>(size), error);
     },
     [](size_t size) {
         Bytes b{'C', 'H', 'P', 'S'};
         Append32(b, 9);
         b.insert(b.end(), {'P', 'h', 'a', 's', 'e', 'w', 'o', 'r', 'k'});
         Append32(b, 2);
         Append32(b, static_cast<uint32_t>(size));
         b.insert(b.end(), size, 'p');
         return b;
     }},
    {"project file",
     [](const std::string& path, size_t size, std::string& error) {
         CadHost::Project project;
         FillProject(project, size);
         return CadHost::ProjectFile::Save(project, path, error);
     },
     [](size_t size) {
         CadHost::Project project;
         FillProject(project, size);
         const std::string text = CadHost::ProjectFile::ToText(project);
         return Bytes(text.begin(), text.end());
     }},
};

TEST(HostSaveProtectionTest, AWriteProtectedFileIsRefusedAndLeftAsItWas) {
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        FileTest::TempFolder dir;
        const std::string path = dir / "file";
        WriteBytes(path, kOldFile);
        ::chmod(path.c_str(), 0444);
        std::string error;
        EXPECT_FALSE(w.save(path, 3, error));
        EXPECT_NE(error.find("may not be written"), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(ReadBytes(path), kOldFile);
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"file"}));
    }
}

TEST(HostSaveProtectionTest, EveryNameOfAHardLinkedFileSeesTheNewContent) {
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        FileTest::TempFolder dir;
        const std::string path = dir / "file", other = dir / "other";
        WriteBytes(path, kOldFile);
        fs::create_hard_link(path, other);
        std::string error;
        EXPECT_TRUE(w.save(path, 3, error)) << error;
        EXPECT_EQ(ReadBytes(path), w.expected(3));
        EXPECT_EQ(ReadBytes(other), w.expected(3));
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"file", "other"}));
    }
}

// The system must enforce the folder's and the owner's permissions: the saves run as an
// ordinary user.
TEST(HostSaveProtectionTest, FolderAndOwnerPermissionsAsAnOrdinaryUserMeetsThem) {
    for (const Writer& w : kWriters) {
        for (const auto& c : FileTest::kSavePermissionCases) {
            SCOPED_TRACE(std::string(w.name) + ": " + c.what);
            if (!FileTest::SavePermissionCaseRunsHere(c)) continue;
            FileTest::TempFolder dir;
            const std::string path = dir / "file";
            std::string whyNot;
            const std::optional<bool> asExpected = FileTest::RunSaveUnderPermissions(
                c, dir, path, kOldFile,
                [&] {
                    std::string error;
                    return w.save(path, 3, error) == c.saved;
                },
                whyNot);
            if (!asExpected) GTEST_SKIP() << whyNot;
            EXPECT_TRUE(*asExpected);
            EXPECT_EQ(ReadBytes(path), c.saved ? w.expected(3) : kOldFile);
            EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"file"}));
        }
    }
}

TEST(HostSaveFailureTest, EveryFailingCallKeepsTheFormerFileAndSaysSo) {
    for (const Writer& w : kWriters) {
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
                [&] { return w.save(path, 3, error); },
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
    EXPECT_EQ(block->version, 3);
    EXPECT_EQ(std::string(block->bytes.begin(), block->bytes.end()), "second block");
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
