#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "IO/File.h"
#include "IO/FileSystem.h"
#include "IO/Location.h"
#include "Platform/FileTestSupport.h"

namespace {

using FileTest::ReadBytes;
using FileTest::WriteBytes;
using Bytes = std::vector<unsigned char>;

TEST(IOLocationTest, ValidityOfPaths) {
    const struct {
        std::string path;
        bool valid;
    } cases[] = {
        {"", false},
        {"/tmp/a", true},
        {"relative/name", true},
        {std::string("a\0b", 3), false},
        {std::string(IO::Location::kMaxPath, 'x'), true},
        {std::string(IO::Location::kMaxPath + 1, 'x'), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IO::Location(c.path).IsValid(), c.valid) << c.path.size();
}

TEST(IOLocationTest, AbsoluteFromTheWorkingFolder) {
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(IO::Location("a/./b/../c.pws").ToAbsolute().ToPath(), cwd + "/a/c.pws");
    EXPECT_EQ(IO::Location("/x/y").ToAbsolute().ToPath(), "/x/y");
    EXPECT_TRUE(IO::Location().ToAbsolute().IsEmpty());
}

class IOFileTest : public ::testing::Test {
protected:
    FileTest::TempFolder folder;
};

TEST_F(IOFileTest, CreateMakesTheMissingFileAtOnceFailDoesNot) {
    const std::string made = folder / "made", absent = folder / "absent";
    IO::File creating{IO::Location(made), IO::File::Create};
    EXPECT_EQ(creating.GetStatus(), IO::Err::NoError);
    EXPECT_TRUE(IO::FileSystem::Exists(IO::Location(made)));
    EXPECT_TRUE(ReadBytes(made).empty());

    char c = 0;  // a file not open refuses everything
    EXPECT_EQ(creating.ReadBin(&c, 1), IO::Err::NotOpen);
    EXPECT_EQ(creating.WriteBin(&c, 1), IO::Err::NotOpen);
    EXPECT_EQ(creating.Sync(), IO::Err::NotOpen);

    IO::File plain{IO::Location(absent), IO::File::Fail};
    EXPECT_EQ(plain.GetStatus(), IO::Err::NoError);
    EXPECT_FALSE(IO::FileSystem::Exists(IO::Location(absent)));
    EXPECT_EQ(plain.Open(IO::File::ReadMode), IO::Err::NotFound);
    EXPECT_EQ(plain.Open(IO::File::WriteMode), IO::Err::NotFound);
}

TEST_F(IOFileTest, UnusableLocationsAreReported) {
    IO::File empty{IO::Location(), IO::File::Create};
    EXPECT_EQ(empty.GetStatus(), IO::Err::BadLocation);
    EXPECT_EQ(empty.Open(IO::File::ReadMode), IO::Err::BadLocation);

    IO::File inMissingFolder{IO::Location(folder / "no/such/file"), IO::File::Create};
    EXPECT_EQ(inMissingFolder.GetStatus(), IO::Err::NotFound);

    // A folder is no file: attaching succeeds, opening does not.
    IO::File onFolder{IO::Location(folder.Path()), IO::File::Create};
    EXPECT_EQ(onFolder.GetStatus(), IO::Err::NoError);
    EXPECT_EQ(onFolder.Open(IO::File::WriteEmptyMode), IO::Err::AccessDenied);
}

TEST_F(IOFileTest, ModesKeepOrEmptyTheOldContents) {
    const std::string path = folder / "f";
    const struct {
        IO::File::OpenMode mode;
        Bytes expected;
    } cases[] = {
        {IO::File::WriteMode, {'X', 'Y', '3', '4', '5'}},
        {IO::File::WriteEmptyMode, {'X', 'Y'}},
        {IO::File::AppendMode, {'1', '2', '3', '4', '5', 'X', 'Y'}},
    };
    for (const auto& c : cases) {
        WriteBytes(path, {'1', '2', '3', '4', '5'});
        IO::File file{IO::Location(path)};
        ASSERT_EQ(file.Open(c.mode), IO::Err::NoError);
        ASSERT_EQ(file.WriteBin("XY", 2), IO::Err::NoError);
        ASSERT_EQ(file.Close(), IO::Err::NoError);
        EXPECT_EQ(ReadBytes(path), c.expected) << c.mode;
    }
}

TEST_F(IOFileTest, ShortReadSaysHowMuchCameAndStatusKeepsTheFirstError) {
    const std::string path = folder / "short";
    WriteBytes(path, {1, 2, 3});
    IO::File file{IO::Location(path)};
    ASSERT_EQ(file.Open(IO::File::ReadMode), IO::Err::NoError);
    char buffer[8] = {};
    int32_t got = -1;
    EXPECT_EQ(file.ReadBin(buffer, 2, &got), IO::Err::NoError);
    EXPECT_EQ(got, 2);
    EXPECT_EQ(file.ReadBin(buffer, 4, &got), IO::Err::EndOfFile);
    EXPECT_EQ(got, 1);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(file.ReadBin(buffer, 1, &got), IO::Err::EndOfFile);
    EXPECT_EQ(file.GetStatus(), IO::Err::EndOfFile);
    // Close reports the first error of the session; a new Open starts clean.
    EXPECT_EQ(file.Close(), IO::Err::EndOfFile);
    ASSERT_EQ(file.Open(IO::File::ReadMode), IO::Err::NoError);
    EXPECT_EQ(file.GetStatus(), IO::Err::NoError);
}

TEST_F(IOFileTest, AFullDiskShowsAtTheLatestWhenSyncingOrClosing) {
    const std::string path = folder / "big";
    IO::File file{IO::Location(path), IO::File::Create};
    ASSERT_EQ(file.Open(IO::File::WriteEmptyMode), IO::Err::NoError);
    const std::vector<char> block(64 * 1024, 'a');
    GSErrCode writeErr = IO::Err::NoError, syncErr = IO::Err::NoError, closeErr = IO::Err::NoError;
    {
        FileTest::FileSizeLimit limit(1000);
        for (int i = 0; i < 4 && writeErr == IO::Err::NoError; ++i)
            writeErr = file.WriteBin(block.data(), static_cast<int32_t>(block.size()));
        syncErr = file.Sync();
        closeErr = file.Close();
    }
    EXPECT_TRUE(writeErr == IO::Err::DiskFull || syncErr == IO::Err::DiskFull);
    EXPECT_EQ(closeErr, IO::Err::DiskFull);
    EXPECT_EQ(file.GetStatus(), IO::Err::DiskFull);
}

class IOFileSystemTest : public ::testing::Test {
protected:
    FileTest::TempFolder folder;
};

TEST_F(IOFileSystemTest, UniqueSiblingsAreNewEmptyFilesBesideTheTarget) {
    const IO::Location target(folder / "plan.pws");
    WriteBytes(target.ToPath(), {9, 9});
    IO::Location a, b;
    ASSERT_EQ(IO::FileSystem::CreateUniqueSibling(target, &a), IO::Err::NoError);
    ASSERT_EQ(IO::FileSystem::CreateUniqueSibling(target, &b), IO::Err::NoError);
    EXPECT_NE(a, b);
    for (const IO::Location& s : {a, b}) {
        EXPECT_EQ(s.ToPath().rfind(folder / ".plan.pws.", 0), 0u) << s.ToPath();
        EXPECT_TRUE(ReadBytes(s.ToPath()).empty());
    }
    EXPECT_EQ(ReadBytes(target.ToPath()), (Bytes{9, 9}));

    IO::Location none;
    EXPECT_EQ(IO::FileSystem::CreateUniqueSibling(IO::Location(folder / "gone/x"), &none),
              IO::Err::NotFound);
    EXPECT_EQ(IO::FileSystem::CreateUniqueSibling(IO::Location(), &none), IO::Err::BadLocation);
}

TEST_F(IOFileSystemTest, ReplacePutsTheNewFileInPlaceWithTheOldPermissions) {
    const std::string target = folder / "t", source = folder / "s";
    WriteBytes(target, {1});
    ::chmod(target.c_str(), 0640);
    WriteBytes(source, {2, 2});
    ::chmod(source.c_str(), 0600);
    ASSERT_EQ(IO::FileSystem::Replace(IO::Location(source), IO::Location(target)),
              IO::Err::NoError);
    EXPECT_EQ(ReadBytes(target), (Bytes{2, 2}));
    EXPECT_FALSE(IO::FileSystem::Exists(IO::Location(source)));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(IOFileSystemTest, ReplaceRefusesAFolderAndRemoveAMissingFile) {
    const std::string source = folder / "s";
    WriteBytes(source, {2});
    std::filesystem::create_directory(folder / "dir");
    EXPECT_EQ(IO::FileSystem::Replace(IO::Location(source), IO::Location(folder / "dir")),
              IO::Err::AccessDenied);
    EXPECT_EQ(ReadBytes(source), (Bytes{2}));
    EXPECT_EQ(IO::FileSystem::Remove(IO::Location(folder / "missing")), IO::Err::NotFound);
    EXPECT_EQ(IO::FileSystem::Remove(IO::Location(folder / "dir")), IO::Err::AccessDenied);
    EXPECT_EQ(IO::FileSystem::Remove(IO::Location(source)), IO::Err::NoError);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"dir"}));
}

}  // namespace
