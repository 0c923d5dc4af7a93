// Text files read as lines ended by one byte, of any length, with rewind to a remembered line.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "IO/LineReader.h"
#include "Platform/FileTestSupport.h"

namespace {

class LineReaderTest : public ::testing::Test {
protected:
    IO::LineReader& Reader(const std::string& bytes, char end = '\r') {
        reader.reset();
        file.reset();
        FileTest::WriteBytes(path, {bytes.begin(), bytes.end()});
        file.emplace(IO::Location(path));
        EXPECT_EQ(file->Open(IO::File::ReadMode), IO::Err::NoError);
        return reader.emplace(*file, end);
    }
    std::vector<std::string> ReadAll(const std::string& bytes, char end = '\r') {
        IO::LineReader& r = Reader(bytes, end);
        std::vector<std::string> lines;
        std::string line;
        while (r.ReadLine(line)) lines.push_back(line);
        EXPECT_EQ(r.GetStatus(), IO::Err::NoError);
        return lines;
    }

    FileTest::TempFolder folder;
    std::string path = folder / "lines.txt";
    std::optional<IO::File> file;
    std::optional<IO::LineReader> reader;
};

TEST_F(LineReaderTest, SplitsOnlyAtTheEndByteAndReadsLongLinesWhole) {
    using V = std::vector<std::string>;
    EXPECT_EQ(ReadAll("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(ReadAll("a\rb"), (V{"a", "b"})) << "the last line needs no end";
    EXPECT_EQ(ReadAll("a\nb\r\n"), (V{"a\nb", "\n"})) << "LF is no line end here";
    EXPECT_EQ(ReadAll("\r\r"), (V{"", ""}));
    EXPECT_EQ(ReadAll("x\ny\n", '\n'), (V{"x", "y"}));
    // Longer than the reader's chunk, so a line spans several reads.
    const std::string longLine(200000, 'q');
    EXPECT_EQ(ReadAll("head\r" + longLine + "\rtail"), (V{"head", longLine, "tail"}));
    // Rewinding reads again from a remembered line.
    IO::LineReader& r = Reader("header\rone\rtwo\r");
    std::string line;
    ASSERT_TRUE(r.ReadLine(line));
    ASSERT_EQ(r.GetPosition(), 7u);
    while (r.ReadLine(line)) {
    }
    ASSERT_EQ(r.Rewind(7), IO::Err::NoError);
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "one");
}

}  // namespace
