// The file library's hook for failing on purpose: it counts the calls on disk files, fails exactly
// the armed one, once, and a cut-short write leaves exactly the kept bytes in the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IO/FaultInjection.h"
#include "IO/File.h"
#include "IO/FileSystem.h"
#include "Platform/FileTestSupport.h"

namespace {

namespace FI = IO::FaultInjection;
using Bytes = std::vector<unsigned char>;
using FileTest::ReadBytes;
using FileTest::WriteBytes;

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
            for (const char* part : {"ab", "cd", "ef"}) results.push_back(file.WriteBin(part, 2));
            results.push_back(file.Sync());
            results.push_back(file.Close());
        }
        results.push_back(IO::FileSystem::Replace(IO::Location(path), IO::Location(folder / "g")));
        return results;
    }
};

TEST_F(IOFaultInjectionTest, CountsTheCallsOnDiskFilesOnly) {
    RunAllSteps();
    EXPECT_EQ(FI::Count(FI::Write), 3);
    EXPECT_EQ(FI::Count(FI::Sync), 1);
    EXPECT_EQ(FI::Count(FI::Close), 1);
    EXPECT_EQ(FI::Count(FI::Rename), 1);
    EXPECT_FALSE(FI::Fired());

    IO::File memory{IO::File::InMemory};
    memory.Open(IO::File::WriteEmptyMode);
    memory.WriteBin("x", 1);
    memory.Sync();
    memory.Close();
    EXPECT_EQ(FI::Count(FI::Write), 3);
    EXPECT_EQ(FI::Count(FI::Close), 1);
}

TEST_F(IOFaultInjectionTest, TheArmedCallFailsOnceAndNoOtherDoes) {
    const GSErrCode E = IO::Err::DiskFull, OK = IO::Err::NoError;
    const struct {
        FI::Operation operation;
        int64_t nth;
        std::vector<GSErrCode> expected;  // write, write, write, sync, close, rename
        Bytes content;                    // of the file after the rename
    } cases[] = {
        {FI::Write, 2, {OK, E, OK, OK, E, OK}, {'a', 'b', 'e', 'f'}},
        {FI::Sync, 1, {OK, OK, OK, E, E, OK}, {'a', 'b', 'c', 'd', 'e', 'f'}},
        {FI::Close, 1, {OK, OK, OK, OK, E, OK}, {'a', 'b', 'c', 'd', 'e', 'f'}},
        {FI::Rename, 1, {OK, OK, OK, OK, OK, E}, {}},
        {FI::Write, 4, {OK, OK, OK, OK, OK, OK}, {'a', 'b', 'c', 'd', 'e', 'f'}},  // never reached
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.operation) + " #" + std::to_string(c.nth));
        FI::FailNth(c.operation, c.nth, E);
        EXPECT_EQ(RunAllSteps(), c.expected);
        EXPECT_EQ(FI::Fired(), c.nth <= FI::Count(c.operation));
        if (c.operation == FI::Rename) {
            EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"f"}));
        } else {
            EXPECT_EQ(ReadBytes(folder / "g"), c.content);
        }
        for (const std::string& name : folder.Entries()) std::filesystem::remove(folder / name);
    }
}

TEST_F(IOFaultInjectionTest, ACutShortWriteKeepsOnlyThePartThatFitted) {
    const struct {
        size_t keep;
        Bytes content;
    } cases[] = {{0, {'a', 'b', 'e', 'f'}},
                 {1, {'a', 'b', 'c', 'e', 'f'}},
                 {5, {'a', 'b', 'c', 'd', 'e', 'f'}}};  // never more than asked for
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keep);
        FI::CutNthWriteShort(2, c.keep);
        const std::string path = folder / "f";
        IO::File file{IO::Location(path), IO::File::Create};
        ASSERT_EQ(file.Open(IO::File::WriteEmptyMode), IO::Err::NoError);
        int32_t written = -1;
        EXPECT_EQ(file.WriteBin("ab", 2), IO::Err::NoError);
        EXPECT_EQ(file.WriteBin("cd", 2, &written), IO::Err::DiskFull);
        EXPECT_EQ(written, static_cast<int32_t>(std::min<size_t>(c.keep, 2)));
        EXPECT_EQ(file.WriteBin("ef", 2), IO::Err::NoError);
        EXPECT_EQ(file.Close(), IO::Err::DiskFull) << "the status keeps the first error";
        EXPECT_EQ(ReadBytes(path), c.content);
    }
}

TEST_F(IOFaultInjectionTest, FileCodeOfItsOwnAsksTheHook) {
    FI::FailNth(FI::Rename, 2, IO::Err::AccessDenied);
    EXPECT_EQ(FI::Check(FI::Rename), IO::Err::NoError);
    EXPECT_EQ(FI::Check(FI::Rename), IO::Err::AccessDenied);
    EXPECT_EQ(FI::Check(FI::Rename), IO::Err::NoError) << "once only";
    FI::CutNthWriteShort(1, 3);
    size_t allowed = 0;
    EXPECT_EQ(FI::CheckWrite(10, &allowed), IO::Err::DiskFull);
    EXPECT_EQ(allowed, 3u);
    EXPECT_EQ(FI::CheckWrite(10, &allowed), IO::Err::NoError);
    EXPECT_EQ(allowed, 10u);
    FI::Reset();
    EXPECT_EQ(FI::Count(FI::Write), 0);
    EXPECT_FALSE(FI::Fired());
}

}  // namespace
