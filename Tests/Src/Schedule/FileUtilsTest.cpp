// Length-prefixed strings and whole streams of the schedule's files, against hand-made bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sstream>
#include <string>

#include "Schedule/FileUtils.h"
#include "IO/File.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using FileTest::ReadBytes;

class FileUtilsTest : public ::testing::Test {
protected:
    // The file holding bytes, open for reading.
    IO::File& Reading(const Bytes& bytes) {
        FileTest::WriteBytes(path, bytes);
        file.emplace(IO::Location(path));
        EXPECT_EQ(file->Open(IO::File::ReadMode), IO::Err::NoError);
        return *file;
    }
    static Bytes String(int64_t length, const std::string& characters) {
        Bytes b;
        Append64(b, length);
        b.insert(b.end(), characters.begin(), characters.end());
        return b;
    }

    FileTest::TempFolder folder;
    std::string path = folder / "f";
    std::optional<IO::File> file;
};

TEST_F(FileUtilsTest, StringsAreALengthThenTheCharacters) {
    {
        IO::File out{IO::Location(path), IO::File::Create};
        ASSERT_EQ(out.Open(IO::File::WriteEmptyMode), IO::Err::NoError);
        EXPECT_EQ(FileUtils::FWrite_String(out, "abc"), 0);
        EXPECT_EQ(FileUtils::FWrite_String(out, ""), 0);
    }
    EXPECT_EQ(ReadBytes(path), Join({String(3, "abc"), String(0, "")}));
}

TEST_F(FileUtilsTest, AStringThatDoesNotFitIsLeftUnreadACutOneIsAReadError) {
    IO::File& in = Reading(Join({String(4, "wxyz"), String(5, "abcde!")}));
    char buf[5] = "????";
    EXPECT_EQ(FileUtils::FRead_String(in, buf, sizeof(buf)), 0);  // 4 characters fit in 5
    EXPECT_STREQ(buf, "wxyz");
    EXPECT_EQ(FileUtils::FRead_String(in, buf, sizeof(buf)), ApiErr::MemoryFull);
    EXPECT_STREQ(buf, "");
    char next = 0;
    ASSERT_EQ(in.ReadBin(&next, 1), IO::Err::NoError);
    EXPECT_EQ(next, 'a') << "the characters are still there";

    IO::File& cut = Reading(String(6, "hal"));
    char text[16];
    std::memset(text, 'Z', sizeof(text));
    EXPECT_EQ(FileUtils::FRead_String(cut, text, sizeof(text)), IO::Err::EndOfFile);
    EXPECT_STREQ(text, "hal") << "what came, terminated";
    EXPECT_EQ(FileUtils::FRead_String(cut, text, sizeof(text)), IO::Err::EndOfFile);
    EXPECT_STREQ(text, "") << "no length to read";
}

TEST_F(FileUtilsTest, AWrittenStreamIsEmptiedForTheNextLineAFailedOneKeepsItsText) {
    IO::File out{IO::Location(path), IO::File::Create};
    std::ostringstream line;
    line << "first\r";
    EXPECT_NE(FileUtils::FWrite_Stream(out, line), 0) << "the file is not open yet";
    EXPECT_EQ(line.str(), "first\r");
    ASSERT_EQ(out.Open(IO::File::WriteEmptyMode), IO::Err::NoError);
    EXPECT_EQ(FileUtils::FWrite_Stream(out, line), 0);
    EXPECT_EQ(line.str(), "");
    line << "second\r";
    EXPECT_EQ(FileUtils::FWrite_Stream(out, line), 0);
    ASSERT_EQ(out.Close(), IO::Err::NoError);
    const Bytes written = ReadBytes(path);
    EXPECT_EQ(std::string(written.begin(), written.end()), "first\rsecond\r");
}

}  // namespace
