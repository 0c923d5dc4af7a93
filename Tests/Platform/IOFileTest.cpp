// Files on disk, locations, and the hook that makes any file call fail on purpose. (Writing in
// memory for a write in place is checked through the replacement file.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "IO/FaultInjection.h"
#include "IO/File.h"
#include "IO/FileSystem.h"
#include "IO/Location.h"
#include "Platform/FileTestSupport.h"

namespace {

namespace FI = IO::FaultInjection;
using FileTest::ReadBytes;
using FileTest::WriteBytes;
using Bytes = std::vector<unsigned char>;

TEST(IOLocationTest, ValidityAndAbsolutePaths) {
    EXPECT_FALSE(IO::Location(std::string("a\0b", 3)).IsValid());
    EXPECT_TRUE(IO::Location(std::string(IO::Location::kMaxPath, 'x')).IsValid());
    EXPECT_FALSE(IO::Location(std::string(IO::Location::kMaxPath + 1, 'x')).IsValid());
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(IO::Location("a/./b/../c.pws").ToAbsolute().ToPath(), cwd + "/a/c.pws");
    EXPECT_TRUE(IO::Location().ToAbsolute().IsEmpty());
}

class IOFileTest : public ::testing::Test {
protected:
    FileTest::TempFolder folder;
};

TEST_F(IOFileTest, CreateMakesTheMissingFileAtOnceFailDoesNotAndUnusablePlacesAreReported) {
    const std::string made = folder / "made", absent = folder / "absent";
    IO::File creating{IO::Location(made), IO::File::Create};
    EXPECT_EQ(creating.GetStatus(), IO::Err::NoError);
    EXPECT_TRUE(IO::FileSystem::Exists(IO::Location(made)));
    EXPECT_TRUE(ReadBytes(made).empty());
    char c = 0;  // a file not open refuses everything
    uint64_t at = 0;
    EXPECT_EQ(creating.ReadBin(&c, 1), IO::Err::NotOpen);
    EXPECT_EQ(creating.GetPosition(&at), IO::Err::NotOpen);

    IO::File plain{IO::Location(absent), IO::File::Fail};
    EXPECT_FALSE(IO::FileSystem::Exists(IO::Location(absent)));
    EXPECT_EQ(plain.Open(IO::File::ReadMode), IO::Err::NotFound);

    EXPECT_EQ(IO::File(IO::Location(), IO::File::Create).GetStatus(), IO::Err::BadLocation);
    EXPECT_EQ(IO::File(IO::Location(folder / "no/file"), IO::File::Create).GetStatus(),
              IO::Err::NotFound);
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
    uint64_t length = 0, at = 0;
    EXPECT_EQ(file.ReadBin(buffer, 2, &got), IO::Err::NoError);
    EXPECT_EQ(got, 2);
    EXPECT_EQ(file.GetDataLength(&length), IO::Err::NoError);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(file.GetPosition(&at), IO::Err::NoError);
    EXPECT_EQ(at, 2u);
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

class IOFaultInjectionTest : public ::testing::Test {
protected:
    FI::Scope scope;
    FileTest::TempFolder folder;

    // Writes "ab", "cd", "ef", syncs, closes and renames; returns the error of each step in
    // that order (6 results). Close reports the first error since the file was opened.
    std::vector<GSErrCode> RunAllSteps() {
        std::vector<GSErrCode> results;
        const std::string path = folder / "f";
        {
            IO::File file{IO::Location(path), IO::File::Create};
            file.Open(IO::File::WriteEmptyMode);
            for (const char* part : {"ab", "cd", "ef"})
                results.push_back(file.WriteBin(part, 2, part[0] == 'c' ? &secondWrote : nullptr));
            results.push_back(file.Sync());
            results.push_back(file.Close());
        }
        results.push_back(IO::FileSystem::Replace(IO::Location(path), IO::Location(folder / "g")));
        return results;
    }
    int32_t secondWrote = -1;  // what the second write said it wrote
};

// How often each call is made is checked by the save sweeps that count them.
TEST_F(IOFaultInjectionTest, TheArmedCallFailsOnceAndNoOtherDoes) {
    const GSErrCode E = IO::Err::DiskFull, OK = IO::Err::NoError;
    const struct {
        FI::Operation operation;
        int64_t nth;
        int keep;                         // >= 0: the write is cut short to this many bytes
        std::vector<GSErrCode> expected;  // write, write, write, sync, close, rename
        Bytes content;                    // of the file after the rename
    } cases[] = {
        {FI::Write, 2, -1, {OK, E, OK, OK, E, OK}, {'a', 'b', 'e', 'f'}},
        {FI::Sync, 1, -1, {OK, OK, OK, E, E, OK}, {'a', 'b', 'c', 'd', 'e', 'f'}},
        {FI::Close, 1, -1, {OK, OK, OK, OK, E, OK}, {'a', 'b', 'c', 'd', 'e', 'f'}},
        {FI::Rename, 1, -1, {OK, OK, OK, OK, OK, E}, {}},
        // A write cut short keeps only the part that fitted, never more than asked for; the
        // status keeps the first error until the close.
        {FI::Write, 2, 1, {OK, E, OK, OK, E, OK}, {'a', 'b', 'c', 'e', 'f'}},
        {FI::Write, 2, 5, {OK, E, OK, OK, E, OK}, {'a', 'b', 'c', 'd', 'e', 'f'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.operation) + " #" + std::to_string(c.nth) + " keeping " +
                     std::to_string(c.keep));
        if (c.keep >= 0)
            FI::CutNthWriteShort(c.nth, static_cast<size_t>(c.keep));
        else
            FI::FailNth(c.operation, c.nth, E);
        EXPECT_EQ(RunAllSteps(), c.expected);
        if (c.keep >= 0) {
            EXPECT_EQ(secondWrote, std::min(c.keep, 2));
        }
        EXPECT_EQ(FI::Fired(), c.nth <= FI::Count(c.operation));
        if (c.operation == FI::Rename) {
            EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"f"}));
        } else {
            EXPECT_EQ(ReadBytes(folder / "g"), c.content);
        }
        for (const std::string& name : folder.Entries()) std::filesystem::remove(folder / name);
    }
}

}  // namespace
