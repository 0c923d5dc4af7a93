#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "IO/LineReader.h"

namespace {

class LineReaderTest : public ::testing::Test {
protected:
    std::vector<std::string> ReadAll(const std::string& bytes, char end = '\r') {
        const std::string path = ::testing::TempDir() + "linereader.txt";
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        IO::File file{IO::Location(path)};
        EXPECT_EQ(file.Open(IO::File::ReadMode), IO::Err::NoError);
        IO::LineReader reader(file, end);
        std::vector<std::string> lines;
        std::string line;
        while (reader.ReadLine(line)) lines.push_back(line);
        EXPECT_EQ(reader.GetStatus(), IO::Err::NoError);
        return lines;
    }
};

TEST_F(LineReaderTest, SplitsOnlyAtTheEndByte) {
    using V = std::vector<std::string>;
    EXPECT_EQ(ReadAll("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(ReadAll("a\rb"), (V{"a", "b"})) << "the last line needs no end";
    EXPECT_EQ(ReadAll("a\nb\r\n"), (V{"a\nb", "\n"})) << "LF is no line end here";
    EXPECT_EQ(ReadAll("\r\r"), (V{"", ""}));
    EXPECT_EQ(ReadAll(""), V{});
    EXPECT_EQ(ReadAll("x\ny\n", '\n'), (V{"x", "y"}));
}

TEST_F(LineReaderTest, LongLinesAreReadWhole) {
    // Longer than the reader's chunk, so a line spans several reads.
    const std::string longLine(200000, 'q');
    const auto lines = ReadAll("head\r" + longLine + "\rtail");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], "tail");
}

TEST_F(LineReaderTest, RewindReadsAgainFromARememberedLine) {
    const std::string path = ::testing::TempDir() + "linereader_rewind.txt";
    std::ofstream(path, std::ios::binary) << "header\rone\rtwo\r";
    IO::File file{IO::Location(path)};
    ASSERT_EQ(file.Open(IO::File::ReadMode), IO::Err::NoError);
    IO::LineReader reader(file);
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    const uint64_t afterHeader = reader.GetPosition();
    EXPECT_EQ(afterHeader, 7u);
    while (reader.ReadLine(line)) {
    }
    ASSERT_EQ(reader.Rewind(afterHeader), IO::Err::NoError);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "one");
}

}  // namespace
