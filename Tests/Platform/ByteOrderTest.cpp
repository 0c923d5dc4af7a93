#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ByteOrder.h"

namespace {

// A stored number and the bytes a hand-written file holds for it, lowest byte first.
struct StoredNumber {
    const char* what;
    int64_t value;
    int size;
    std::vector<unsigned char> bytes;
};

const StoredNumber kNumbers[] = {
    {"int16 0x1234", 0x1234, 2, {0x34, 0x12}},
    {"int16 -1", -1, 2, {0xFF, 0xFF}},
    {"int32 1", 1, 4, {0x01, 0x00, 0x00, 0x00}},
    {"int32 -2", -2, 4, {0xFE, 0xFF, 0xFF, 0xFF}},
    {"int32 0x7FFFFFFF", 0x7FFFFFFF, 4, {0xFF, 0xFF, 0xFF, 0x7F}},
    {"int32 minimum", INT32_MIN, 4, {0x00, 0x00, 0x00, 0x80}},
    {"int64 0x0102030405060708",
     0x0102030405060708,
     8,
     {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}},
    {"int64 minimum", INT64_MIN, 8, {0, 0, 0, 0, 0, 0, 0, 0x80}},
};

std::vector<unsigned char> Put(const StoredNumber& n) {
    std::vector<unsigned char> out(n.size, 0xAA);
    switch (n.size) {
        case 2:
            ByteOrder::PutLittleEndian(static_cast<int16_t>(n.value), out.data());
            break;
        case 4:
            ByteOrder::PutLittleEndian(static_cast<int32_t>(n.value), out.data());
            break;
        default:
            ByteOrder::PutLittleEndian(n.value, out.data());
            break;
    }
    return out;
}

int64_t Get(const StoredNumber& n) {
    switch (n.size) {
        case 2:
            return ByteOrder::GetLittleEndian<int16_t>(n.bytes.data());
        case 4:
            return ByteOrder::GetLittleEndian<int32_t>(n.bytes.data());
        default:
            return ByteOrder::GetLittleEndian<int64_t>(n.bytes.data());
    }
}

TEST(ByteOrderTest, NumbersBecomeTheBytesOfAHandWrittenFileAndBack) {
    for (const auto& n : kNumbers) {
        EXPECT_EQ(Put(n), n.bytes) << n.what;
        EXPECT_EQ(Get(n), n.value) << n.what;
    }
    // Unsigned numbers keep their top bit as a value, not a sign.
    const unsigned char top[4] = {0x00, 0x00, 0x00, 0x80};
    EXPECT_EQ(ByteOrder::GetLittleEndian<uint32_t>(top), 0x80000000u);
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
