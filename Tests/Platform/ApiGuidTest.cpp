// The host's GUID comparison: byte by byte, first byte first, each byte an unsigned number, so
// that maps keyed by GUID keep the order they have on every machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "API/ApiTypes.h"

namespace {

// A GUID from 32 hex digits.
API_Guid Hex(const std::string& digits) {
    API_Guid g{};
    for (size_t i = 0; i < 16; ++i)
        g.bytes[i] = uint8_t(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    return g;
}

TEST(ApiGuidTest, OrderAndEqualityByTheBytes) {
    struct Case {
        const char* a;
        const char* b;
        int expected;  // -1: a before b, 0: the same, 1: a after b
    };
    const Case cases[] = {
        {"00000000000000000000000000000000", "00000000000000000000000000000000", 0},
        {"0123456789abcdeffedcba9876543210", "0123456789abcdeffedcba9876543210", 0},
        {"00000000000000000000000000000000", "00000000000000000000000000000001", -1},  // last byte
        {"01000000000000000000000000000000", "00ffffffffffffffffffffffffffffff", 1},   // first byte
        {"00000000000000ff0000000000000000", "00000000000001000000000000000000", -1},  // byte 7 / 6
        {"0000000000000000ff00000000000000", "00000000000000010000000000000000", -1},  // 8 vs 7
        {"7f000000000000000000000000000000", "80000000000000000000000000000000", -1},  // unsigned
        {"00000000000000008000000000000000", "00000000000000007fffffffffffffff", 1},
        {"0000000000000000000000000000ff00", "000000000000000000000000000000ff", 1},  // 14 vs 15
    };
    for (const Case& c : cases) {
        const API_Guid a = Hex(c.a), b = Hex(c.b);
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_EQ(a == b, c.expected == 0);
        EXPECT_EQ(b == a, c.expected == 0);
        EXPECT_EQ(a < b, c.expected < 0);
        EXPECT_EQ(b<a, c.expected> 0);
    }
}

TEST(ApiGuidTest, SortingFollowsTheHexDigits) {
    // Hex digits of the same length sort as texts exactly as the bytes they stand for.
    std::vector<std::string> texts = {
        "ff00000000000000000000000000000",  "0000000000000000ff0000000000000",
        "00000000000000ff000000000000000",  "80000000000000000000000000000001",
        "7fffffffffffffffffffffffffffffff", "00000000000000000000000000000000",
        "0000000000000000000000000000000f", "00000000000000010000000000000000",
    };
    for (std::string& t : texts) t.resize(32, '0');
    std::vector<API_Guid> guids;
    for (const std::string& t : texts) guids.push_back(Hex(t));
    std::sort(texts.begin(), texts.end());
    std::sort(guids.begin(), guids.end());
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_TRUE(guids[i] == Hex(texts[i])) << texts[i];
}

}  // namespace
