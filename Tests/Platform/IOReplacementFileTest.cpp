// The safe replacement of a file: which targets it refuses, which it replaces through a fresh file
// and which it writes over in place, and what each kind of failure leaves on the disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "IO/FileSystem.h"
#include "IO/ReplacementFile.h"
#include "Platform/FileTestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;
using FileTest::ReadBytes;
using FileTest::WriteBytes;
namespace fs = std::filesystem;

const Bytes kOld{'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
const Bytes kNew{'n', 'e', 'w'};

struct Stat {
    explicit Stat(const std::string& path, bool followLink = true) {
        ok = (followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) == 0;
    }
    bool ok = false;
    struct stat st {};
};

// Writes `bytes` through a replacement of `path`; says how it went.
struct Outcome {
    bool opened = false, committed = false, inPlace = false, damaged = false;
    GSErrCode error = IO::Err::NoError;
};
Outcome Replace(const std::string& path, const Bytes& bytes) {
    IO::ReplacementFile file{IO::Location(path)};
    Outcome o;
    o.opened = file.Open();
    if (o.opened) {
        file.Output().WriteBin(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<int32_t>(bytes.size()));
        o.committed = file.Commit();
    }
    o.inPlace = file.WritesInPlace();
    o.damaged = file.MayHaveDamagedTarget();
    o.error = file.GetError();
    return o;
}

class IOReplacementFileTest : public ::testing::Test {
protected:
    FileTest::TempFolder folder;
};

TEST_F(IOReplacementFileTest, WritableJudgedByTheModeBitsAndAFolderIsNoTarget) {
    fs::create_directory(folder / "dir");
    const struct {
        const char* name;
        mode_t mode;
        bool writable;
    } cases[] = {{"w-only", 0200, true}, {"group-w", 0464, true}, {"ro", 0444, false}};
    for (const auto& c : cases) {
        WriteBytes(folder / c.name, kOld);
        ::chmod((folder / c.name).c_str(), c.mode);
        // As the owner, a file with only a group write bit may not be written.
        const bool expected = c.writable && (FileTest::RunningAsSuperuser() || c.mode != 0464);
        EXPECT_EQ(IO::FileSystem::IsWritable(IO::Location(folder / c.name)), expected) << c.name;
    }
    EXPECT_FALSE(IO::FileSystem::IsWritable(IO::Location(folder / "dir")));
    EXPECT_FALSE(IO::FileSystem::IsWritable(IO::Location(folder / "missing")));
    EXPECT_FALSE(Replace(folder / "dir", kNew).opened);
    const Outcome inMissing = Replace(folder / "no/plan", kNew);
    EXPECT_FALSE(inMissing.opened);
    EXPECT_EQ(inMissing.error, IO::Err::NotFound);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"dir", "group-w", "ro", "w-only"}))
        << "no scratch file left";
}

TEST_F(IOReplacementFileTest, EachKindOfTargetEndsAsItShould) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    enum Kind { Missing, Plain, ReadOnly, HardLinked, Symlinked };
    const struct {
        const char* what;
        Kind kind;
        bool saved, inPlace;
    } cases[] = {{"missing", Missing, true, false},
                 {"plain 0640", Plain, true, false},
                 {"read-only", ReadOnly, false, false},
                 {"second hard link", HardLinked, true, true},
                 {"symbolic link", Symlinked, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FileTest::TempFolder dir;
        const std::string target = dir / "plan", other = dir / "other";
        std::vector<std::string> entries{"plan"};
        if (c.kind != Missing) WriteBytes(target, kOld);
        if (c.kind == Plain) ::chmod(target.c_str(), 0640);
        if (c.kind == ReadOnly) ::chmod(target.c_str(), 0444);
        if (c.kind == HardLinked) fs::create_hard_link(target, other);
        if (c.kind == Symlinked) fs::create_symlink("plan", other);
        if (c.kind == HardLinked || c.kind == Symlinked) entries = {"other", "plan"};
        const Stat before(target);

        const Outcome o = Replace(c.kind == Symlinked ? other : target, kNew);
        EXPECT_EQ(o.opened && o.committed, c.saved);
        EXPECT_EQ(o.inPlace, c.inPlace);
        EXPECT_FALSE(o.damaged);
        EXPECT_EQ(ReadBytes(target), c.saved ? kNew : kOld);
        EXPECT_EQ(dir.Entries(), entries) << "no scratch file left";
        const Stat after(target);
        ASSERT_TRUE(after.ok);
        const mode_t expectedMode =
            c.kind == Missing ? (0666 & ~mask) : (before.st.st_mode & 07777);
        EXPECT_EQ(after.st.st_mode & 07777, expectedMode);
        if (c.kind == ReadOnly) {
            EXPECT_EQ(o.error, IO::Err::AccessDenied);
            EXPECT_EQ(after.st.st_ino, before.st.st_ino);
        }
        if (c.kind == HardLinked) {
            EXPECT_EQ(ReadBytes(other), kNew) << "both names see the new content";
            EXPECT_EQ(after.st.st_nlink, 2u);
        }
        if (c.kind == Symlinked) {
            EXPECT_TRUE(fs::is_symlink(other)) << "the link stays a link";
            EXPECT_EQ(ReadBytes(other), kNew);
        }
    }
}

TEST_F(IOReplacementFileTest, OnlyAFailedWriteInPlaceMayDamageTheTarget) {
    // The new content is larger than the disk allows: the fresh file fails, and so does the
    // write over a file with a second name.
    const Bytes big(64 * 1024, 'x');
    for (const bool hardLinked : {false, true}) {
        SCOPED_TRACE(hardLinked ? "written in place" : "fresh file");
        FileTest::TempFolder dir;
        const std::string target = dir / "plan";
        WriteBytes(target, kOld);
        if (hardLinked) fs::create_hard_link(target, dir / "other");
        Outcome o;
        {
            FileTest::FileSizeLimit limit(4096);
            o = Replace(target, big);
        }
        EXPECT_TRUE(o.opened);
        EXPECT_FALSE(o.committed);
        EXPECT_EQ(o.error, IO::Err::DiskFull);
        EXPECT_EQ(o.damaged, hardLinked);
        if (!hardLinked) {
            EXPECT_EQ(ReadBytes(target), kOld);
        }
        EXPECT_EQ(dir.Entries().size(), hardLinked ? 2u : 1u) << "no scratch file left";
    }
}

}  // namespace
