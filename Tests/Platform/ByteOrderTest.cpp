// Stored numbers, lowest byte first, against the bytes of a hand-written file. (The schedule and
// preference readers check whole hand-made files.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ByteOrder.h"

namespace {

using Bytes = std::vector<unsigned char>;

template <typename T>
void ExpectStored(T value, const Bytes& bytes) {
    Bytes out(sizeof(T), 0xAA);
    ByteOrder::PutLittleEndian(value, out.data());
    EXPECT_EQ(out, bytes) << +value;
    EXPECT_EQ(ByteOrder::GetLittleEndian<T>(bytes.data()), value);
}

TEST(ByteOrderTest, NumbersBecomeTheBytesOfAHandWrittenFileAndBack) {
    ExpectStored<int16_t>(0x1234, {0x34, 0x12});
    ExpectStored<int16_t>(-1, {0xFF, 0xFF});
    ExpectStored<int32_t>(-2, {0xFE, 0xFF, 0xFF, 0xFF});
    ExpectStored<int32_t>(INT32_MIN, {0x00, 0x00, 0x00, 0x80});
    ExpectStored<uint32_t>(0x80000000u, {0x00, 0x00, 0x00, 0x80});  // a value, not a sign
    ExpectStored<int64_t>(0x0102030405060708, {8, 7, 6, 5, 4, 3, 2, 1});
    ExpectStored<int64_t>(INT64_MIN, {0, 0, 0, 0, 0, 0, 0, 0x80});
}

// Stands in for a binary file: an in-memory byte string with the file's read and write calls.
struct MemoryFile {
    std::string bytes;
    size_t readAt = 0;
    int32_t WriteBin(const char* buffer, int32_t count) {
        bytes.append(buffer, count);
        return 0;
    }
    int32_t ReadBin(char* buffer, int32_t count) {
        const size_t have = std::min(bytes.size() - readAt, static_cast<size_t>(count));
        std::memcpy(buffer, bytes.data() + readAt, have);
        readAt += have;
        return have == static_cast<size_t>(count) ? 0 : -39;  // end of file
    }
};

TEST(ByteOrderTest, FileNumbersAreWrittenLowByteFirstAndAShortReadChangesNothing) {
    MemoryFile file;
    ASSERT_EQ(ByteOrder::WriteLittleEndian(file, int32_t{0x11223344}), 0);
    ASSERT_EQ(ByteOrder::WriteLittleEndian(file, uint16_t{0xBEEF}), 0);
    EXPECT_EQ(file.bytes, std::string("\x44\x33\x22\x11\xEF\xBE", 6));
    int32_t first = 0;
    uint16_t second = 0;
    EXPECT_EQ(ByteOrder::ReadLittleEndian(file, first), 0);
    EXPECT_EQ(ByteOrder::ReadLittleEndian(file, second), 0);
    EXPECT_EQ(first, 0x11223344);
    EXPECT_EQ(second, 0xBEEF);
    int64_t untouched = 77;
    file.bytes += "\x01\x02\x03";  // three bytes where eight are wanted
    EXPECT_NE(ByteOrder::ReadLittleEndian(file, untouched), 0);
    EXPECT_EQ(untouched, 77);
}

}  // namespace
