// The UTF-8 character type the IFC library needs: made active for the import only, the locale of
// before put back, and no other category touched.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "Ifc/Utf8Locale.h"

namespace {

using CadHost::Utf8Locale;

TEST(Utf8LocaleTest, ActiveForItsLifeOnlyAndOnlyForCharacters) {
    const std::string ctype = std::setlocale(LC_CTYPE, nullptr);
    const std::string time = std::setlocale(LC_TIME, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
    {
        Utf8Locale guard;
        ASSERT_TRUE(guard.Active()) << "the test machine has C.UTF-8 or en_US.UTF-8";
        EXPECT_TRUE(Utf8Locale::IsUtf8(std::setlocale(LC_CTYPE, nullptr)));
        EXPECT_FALSE(Utf8Locale::IsUtf8("de_DE.ISO-8859-1"));
        EXPECT_EQ(std::setlocale(LC_TIME, nullptr), time);
    }
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
    std::setlocale(LC_CTYPE, ctype.c_str());
}

}  // namespace
