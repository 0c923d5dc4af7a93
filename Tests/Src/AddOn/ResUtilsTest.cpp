// The add-on's strings from its own resource file, whatever module is active.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "AddOn/ResUtils.h"
#include "Host/ModuleEntry.h"
#include "RS.h"

namespace {

class ResUtilsTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = ::testing::TempDir() + "resutils.rsrc";
        std::ofstream(path) << "strings 700\n1 one\n2 two\n3 three\nend\n";
        ASSERT_TRUE(ModuleEntry::OpenOwnResourceFileAt(path));
        other = RSOpenResourceFile(PW_RESOURCE_FILE);
        ASSERT_NE(other, kNoResModule);
        RSSetActiveModule(other);
    }
    void TearDown() override {
        RSSetActiveModule(kNoResModule);
        RSCloseResourceFile(other);
        ASSERT_TRUE(ModuleEntry::OpenOwnResourceFileAt(PW_RESOURCE_FILE));
    }
    std::string path;
    GSResModule other = kNoResModule;
};

TEST_F(ResUtilsTest, ReadsTheOwnModuleAndGivesTheActiveOneBack) {
    char buf[256];
    EXPECT_STREQ(ResUtils::LoadResourceString(buf, 700, 2), "two");
    EXPECT_EQ(RSGetActiveModule(), other);
    // The static string is overwritten by the next call.
    const char* first = ResUtils::LoadResourceStaticString(700, 1);
    EXPECT_EQ(ResUtils::LoadResourceStaticString(700, 3), first);
    EXPECT_STREQ(first, "three");
}

TEST_F(ResUtilsTest, AMissingStringIsEmptyInEveryForm) {
    char buf[256];
    for (auto [list, index] : {std::pair<short, short>{700, 4}, {700, 0}, {701, 1}}) {
        std::strcpy(buf, "old");
        EXPECT_STREQ(ResUtils::LoadResourceString(buf, list, index), "") << list << "/" << index;
    }
    char** strings = ResUtils::LoadDynResourceStringArray(700, 3, 2);  // 2, 3 and a missing 4
    ASSERT_NE(strings, nullptr);
    EXPECT_STREQ(strings[0], "two");
    EXPECT_STREQ(strings[1], "three");
    EXPECT_STREQ(strings[2], "");
    ResUtils::FreeDynStringArray(strings, 3);
}

}  // namespace

namespace {

// Report texts and alerts share one way of filling: the marks ^1..^4 by number.
TEST(FormatTextsTest, MarksTakeTheTextsByNumberAndNothingElseChanges) {
    const struct {
        const char* format;
        std::initializer_list<const char*> texts;
        std::string expected;
    } cases[] = {
        {"the task \"^1\" starts after it ends.",
         {"Walls"},
         "the task \"Walls\" starts after it ends."},
        {"\"^1\" (^2) comes after \"^3\" (^4).",
         {"a", "B", "c", "D"},
         "\"a\" (B) comes after \"c\" (D)."},
        {"^1 and ^2", {"only"}, "only and "},     // a mark without its text is left empty
        {"100% ^5 ^0 ^", {"x"}, "100% ^5 ^0 ^"},  // not marks: kept as written
        {"%s %d ^1", {"50%s"}, "%s %d 50%s"},     // printf signs mean nothing
        {"^1^1", {"^2"}, "^2^2"},                 // a filled text is not filled again
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResUtils::FormatTexts(c.format, c.texts), c.expected) << c.format;
}

}  // namespace
