// The file types a dialog offers, grouped as the add-on registers them.
#include <gtest/gtest.h>

#include "FTM/FileTypeManager.h"

namespace {

TEST(FTMFileTypeTest, FilterTextListsEveryExtension) {
    const struct {
        const char* extensions;
        const char* text;
    } cases[] = {
        {"txt;tab", "Schedule (*.txt;*.tab)"}, {"", "Schedule"}, {";txt;", "Schedule (*.txt)"}};
    for (const auto& c : cases)
        EXPECT_EQ(FTM::FileType("Schedule", c.extensions, 0, 0).FilterText(), c.text)
            << c.extensions;
    EXPECT_EQ(FTM::FileType("d", "txt;tab", 0, 0).FirstExtension(), "txt");
}

TEST(FTMFileTypeManagerTest, GroupsHoldTheirTypesInOrderAndARemovedOneLeavesTheTree) {
    FTM::FileTypeManager ftm("PWFTM");
    const FTM::GroupID own = ftm.AddGroup("Own");
    const FTM::GroupID text = ftm.AddGroup("Text");
    const FTM::GroupID child = ftm.AddGroup("Child", text);
    const FTM::TypeID a = ftm.AddType(FTM::FileType("A", "a", 0, FourChar("BIN ")), own);
    const FTM::TypeID b = ftm.AddType(FTM::FileType("B", "b", 0, 0), text);
    const FTM::TypeID c = ftm.AddType(FTM::FileType("C", "c", 0, 0), own);
    EXPECT_EQ(ftm.GetTypesOfGroup(own), (std::vector<FTM::TypeID>{a, c}));
    EXPECT_EQ(ftm.GetType(a)->macType, FourChar("BIN "));
    EXPECT_EQ(ftm.GetSubGroups(FTM::RootGroup), (std::vector<FTM::GroupID>{own, text}));

    ASSERT_EQ(ftm.RemoveGroup(text), ApiErr::NoError);
    EXPECT_EQ(ftm.GetSubGroups(FTM::RootGroup), (std::vector<FTM::GroupID>{own}));
    EXPECT_FALSE(ftm.IsInTree(child));
    EXPECT_EQ(ftm.GetTypesOfGroup(text), (std::vector<FTM::TypeID>{b})) << "its types stay";

    // What cannot be registered or removed.
    EXPECT_EQ(ftm.AddGroup("g", 77), FTM::UnknownGroup);
    EXPECT_EQ(ftm.AddType(FTM::FileType("", "a", 0, 0)), FTM::UnknownType);
    EXPECT_EQ(ftm.GetType(c + 1), nullptr);
    EXPECT_NE(ftm.RemoveGroup(FTM::RootGroup), ApiErr::NoError);
}

}  // namespace
