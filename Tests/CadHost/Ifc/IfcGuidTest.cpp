// IFC GlobalIds to host GUIDs: the 128-bit number must come out as the 8-4-4-4-12 text that IFC
// tools print. The expected texts were worked out by hand (powers of 64) or with a separate
// big-integer calculation, not with the decoder.
#include <gtest/gtest.h>

#include <string>

#include "Ifc/IfcGuid.h"

namespace {

using CadHost::IfcGuid;

TEST(IfcGuidTest, DecodesToTheSameNumber) {
    struct Case {
        const char* ifc;
        const char* guid;
    };
    const Case cases[] = {
        {"0000000000000000000000", "00000000-0000-0000-0000-000000000000"},
        {"000000000000000000000$", "00000000-0000-0000-0000-00000000003F"},  // 63
        {"0000000000000000000010", "00000000-0000-0000-0000-000000000040"},  // 64
        {"1000000000000000000000", "40000000-0000-0000-0000-000000000000"},  // 2^126
        {"3$$$$$$$$$$$$$$$$$$$$$", "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF"},
        // GlobalIds of the duplex sample building and what IFC tools print for them.
        {"1xS3BCk291UvhgP2dvNMKI", "7B7032CC-B822-417B-9AEA-6429F95D6512"},
        {"0wkEuT1wr1kOyafLY4v_O1", "3AB8EE1D-07AD-41B9-8F24-A55884E7E601"},
    };
    for (const Case& c : cases) {
        API_Guid g{};
        ASSERT_TRUE(IfcGuid::Decode(c.ifc, g)) << c.ifc;
        EXPECT_EQ(IfcGuid::Text(g), c.guid) << c.ifc;
    }
}

TEST(IfcGuidTest, RefusesWhatIsNoGlobalId) {
    const std::string refused[] = {
        "000000000000000000000",   // 21 characters
        "4000000000000000000000",  // first digit above 3: 130 bits
        "000000000000000000000-",  // '-' belongs to other base-64 alphabets
        std::string("0000000000\0"
                    "00000000000",
                    22),
        "0000000000000000000\xC3\xA4",  // a UTF-8 letter
    };
    for (const std::string& text : refused) {
        API_Guid g{};
        g.bytes[0] = 0xAB;
        EXPECT_FALSE(IfcGuid::Decode(text, g)) << text;
        EXPECT_EQ(g.bytes[0], 0xAB) << "left untouched: " << text;
    }
}

}  // namespace
