// The host's GUID comparison: byte by byte, first byte first, each byte an unsigned number, so
// that maps keyed by GUID keep the order they have on every machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "API/ApiTypes.h"

namespace {

API_Guid Hex(const std::string& digits) {
    API_Guid g{};
    for (size_t i = 0; i < 16; ++i)
        g.bytes[i] = uint8_t(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    return g;
}

TEST(ApiGuidTest, SortingFollowsTheHexDigits) {
    // As texts of one length, hex digits sort as their bytes should: 80 after 7f, byte 7 first.
    std::vector<std::string> texts = {
        "ff00000000000000000000000000000",  "0000000000000000ff0000000000000",
        "00000000000000ff000000000000000",  "80000000000000000000000000000001",
        "7fffffffffffffffffffffffffffffff", "0000000000000000000000000000ff",
        "0000000000000000000000000000f0ff",
    };
    for (std::string& t : texts) t.resize(32, '0');
    std::vector<API_Guid> guids;
    for (const std::string& t : texts) guids.push_back(Hex(t));
    std::sort(texts.begin(), texts.end());
    std::sort(guids.begin(), guids.end());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_TRUE(guids[i] == Hex(texts[i])) << texts[i];
        EXPECT_TRUE(i == 0 || guids[i - 1] < guids[i]) << texts[i];
    }
}

}  // namespace
