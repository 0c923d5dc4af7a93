#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "FileUtils.h"
#include "IO/File.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using FileTest::ReadBytes;
using FileTest::WriteBytes;

class FileUtilsTest : public ::testing::Test {
protected:
    FileTest::TempFolder folder;
    std::string path = folder / "f";
};

TEST_F(FileUtilsTest, StringsAreALengthThenTheCharacters) {
    {
        IO::File file{IO::Location(path), IO::File::Create};
        ASSERT_EQ(file.Open(IO::File::WriteEmptyMode), IO::Err::NoError);
        EXPECT_EQ(FileUtils::FWrite_String(file, "abc"), 0);
        EXPECT_EQ(FileUtils::FWrite_String(file, ""), 0);
    }
    Bytes expected;
    Append64(expected, 3);
    expected.insert(expected.end(), {'a', 'b', 'c'});
    Append64(expected, 0);
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(FileUtilsTest, ReadingAStringThatDoesNotFitLeavesItsCharactersUnread) {
    Bytes bytes;
    Append64(bytes, 4);
    bytes.insert(bytes.end(), {'w', 'x', 'y', 'z'});
    Append64(bytes, 5);
    bytes.insert(bytes.end(), {'a', 'b', 'c', 'd', 'e', '!'});
    WriteBytes(path, bytes);
    IO::File file{IO::Location(path)};
    ASSERT_EQ(file.Open(IO::File::ReadMode), IO::Err::NoError);
    char buf[5] = "????";
    EXPECT_EQ(FileUtils::FRead_String(file, buf, sizeof(buf)), 0);  // 4 characters fit in 5
    EXPECT_STREQ(buf, "wxyz");
    EXPECT_EQ(FileUtils::FRead_String(file, buf, sizeof(buf)), ApiErr::MemoryFull);
    EXPECT_STREQ(buf, "");
    char next = 0;
    ASSERT_EQ(file.ReadBin(&next, 1), IO::Err::NoError);
    EXPECT_EQ(next, 'a') << "the characters are still there";
}

TEST_F(FileUtilsTest, AStringCutShortIsAReadErrorWithWhatCameTerminated) {
    Bytes bytes;
    Append64(bytes, 6);
    bytes.insert(bytes.end(), {'h', 'a', 'l'});
    WriteBytes(path, bytes);
    IO::File file{IO::Location(path)};
    ASSERT_EQ(file.Open(IO::File::ReadMode), IO::Err::NoError);
    char buf[16];
    std::memset(buf, 'Z', sizeof(buf));
    EXPECT_EQ(FileUtils::FRead_String(file, buf, sizeof(buf)), IO::Err::EndOfFile);
    EXPECT_STREQ(buf, "hal");
    EXPECT_EQ(FileUtils::FRead_String(file, buf, sizeof(buf)), IO::Err::EndOfFile);
    EXPECT_STREQ(buf, "") << "no length to read";
}

TEST_F(FileUtilsTest, AWrittenStreamIsEmptiedForTheNextLineAFailedOneKeepsItsText) {
    IO::File file{IO::Location(path), IO::File::Create};
    std::ostringstream line;
    line << "first\r";
    EXPECT_NE(FileUtils::FWrite_Stream(file, line), 0) << "the file is not open yet";
    EXPECT_EQ(line.str(), "first\r");

    ASSERT_EQ(file.Open(IO::File::WriteEmptyMode), IO::Err::NoError);
    EXPECT_EQ(FileUtils::FWrite_Stream(file, line), 0);
    EXPECT_EQ(line.str(), "");
    line << "second\r";
    EXPECT_EQ(FileUtils::FWrite_Stream(file, line), 0);
    ASSERT_EQ(file.Close(), IO::Err::NoError);
    const Bytes written = ReadBytes(path);
    EXPECT_EQ(std::string(written.begin(), written.end()), "first\rsecond\r");
}

}  // namespace
