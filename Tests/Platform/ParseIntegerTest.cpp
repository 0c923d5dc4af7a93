#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ParseInteger.h"

namespace {

TEST(ParseIntegerTest, AWordIsANumberOnlyAsAWholeAndWhenItFits) {
    struct Case {
        std::string text;
        bool ok;
        int64_t value;  // the value a 32-bit number takes; ignored when not ok
    };
    const Case cases[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"-7", true, -7},
        {"+7", true, 7},
        {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483648LL},
        {"2147483648", false, 0},  // one past the top
        {"-2147483649", false, 0},
        {"", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {"+-3", false, 0},
        {"12a", false, 0},
        {"a12", false, 0},
        {" 12", false, 0},
        {"12 ", false, 0},
        {"1.5", false, 0},
        {"0x10", false, 0},
    };
    for (const auto& c : cases) {
        int32_t value = 99;
        EXPECT_EQ(ParseInteger(c.text, value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : 99)
            << '"' << c.text << "\" (a refused word changes nothing)";
    }
}

TEST(ParseIntegerTest, TheTargetTypeSetsTheRange) {
    int16_t small = 0;
    EXPECT_TRUE(ParseInteger("-32768", small));
    EXPECT_EQ(small, -32768);
    EXPECT_FALSE(ParseInteger("32768", small));
    uint32_t unsignedValue = 0;
    EXPECT_FALSE(ParseInteger("-1", unsignedValue));
    EXPECT_TRUE(ParseInteger("4294967295", unsignedValue));
    EXPECT_EQ(unsignedValue, 4294967295u);
}

}  // namespace
