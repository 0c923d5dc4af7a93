#include <gtest/gtest.h>

#include "FTM/FileTypeManager.h"

namespace {

TEST(FTMFileTypeTest, FilterTextListsEveryExtension) {
    const struct {
        const char* extensions;
        const char* text;
    } cases[] = {
        {"pws", "Schedule (*.pws)"},
        {"txt;tab", "Schedule (*.txt;*.tab)"},
        {"", "Schedule"},
        {";txt;", "Schedule (*.txt)"},
    };
    for (const auto& c : cases) {
        const FTM::FileType type("Schedule", c.extensions, 0, 0);
        EXPECT_EQ(type.FilterText(), c.text) << c.extensions;
    }
    EXPECT_EQ(FTM::FileType("d", "txt;tab", 0, 0).FirstExtension(), "txt");
}

TEST(FTMFileTypeManagerTest, GroupsHoldTheirTypesInOrder) {
    FTM::FileTypeManager ftm("PWFTM");
    EXPECT_EQ(ftm.GetName(), "PWFTM");
    const FTM::GroupID own = ftm.AddGroup("Own");
    const FTM::GroupID text = ftm.AddGroup("Text");
    ASSERT_NE(own, FTM::UnknownGroup);
    ASSERT_NE(text, FTM::UnknownGroup);
    const FTM::TypeID a =
        ftm.AddType(FTM::FileType("A", "a", FourChar("KXVT"), FourChar("BIN ")), own);
    const FTM::TypeID b = ftm.AddType(FTM::FileType("B", "b", 0, FourChar("TEXT")), text);
    const FTM::TypeID c = ftm.AddType(FTM::FileType("C", "c", 0, 0), own);
    EXPECT_EQ(ftm.GetTypesOfGroup(own), (std::vector<FTM::TypeID>{a, c}));
    EXPECT_EQ(ftm.GetTypesOfGroup(text), (std::vector<FTM::TypeID>{b}));
    ASSERT_NE(ftm.GetType(a), nullptr);
    EXPECT_EQ(ftm.GetType(a)->macType, FourChar("BIN "));
    EXPECT_EQ(ftm.GetType(a)->iconId, -1);
    EXPECT_EQ(ftm.GetSubGroups(FTM::RootGroup), (std::vector<FTM::GroupID>{own, text}));
    EXPECT_EQ(*ftm.GetGroupName(text), "Text");
}

TEST(FTMFileTypeManagerTest, RefusesWhatCannotBeRegistered) {
    FTM::FileTypeManager ftm("x");
    EXPECT_EQ(ftm.AddGroup(""), FTM::UnknownGroup);
    EXPECT_EQ(ftm.AddGroup(nullptr), FTM::UnknownGroup);
    EXPECT_EQ(ftm.AddGroup("g", 7), FTM::UnknownGroup);
    EXPECT_EQ(ftm.AddType(FTM::FileType("", "a", 0, 0)), FTM::UnknownType);
    EXPECT_EQ(ftm.AddType(FTM::FileType("d", "a", 0, 0), 7), FTM::UnknownType);
    EXPECT_EQ(ftm.GetType(0), nullptr);
    EXPECT_EQ(ftm.GetType(-1), nullptr);
    EXPECT_NE(ftm.RemoveGroup(FTM::RootGroup), ApiErr::NoError);
    EXPECT_NE(ftm.RemoveGroup(3), ApiErr::NoError);
}

TEST(FTMFileTypeManagerTest, ARemovedGroupLeavesTheTreeButKeepsItsTypes) {
    FTM::FileTypeManager ftm("x");
    const FTM::GroupID keep = ftm.AddGroup("Keep");
    const FTM::GroupID gone = ftm.AddGroup("Gone");
    const FTM::GroupID child = ftm.AddGroup("Child", gone);
    const FTM::TypeID t = ftm.AddType(FTM::FileType("T", "t", 0, 0), gone);
    ASSERT_EQ(ftm.RemoveGroup(gone), ApiErr::NoError);
    EXPECT_EQ(ftm.GetSubGroups(FTM::RootGroup), (std::vector<FTM::GroupID>{keep}));
    EXPECT_FALSE(ftm.IsInTree(gone));
    EXPECT_FALSE(ftm.IsInTree(child));
    EXPECT_TRUE(ftm.IsInTree(keep));
    EXPECT_EQ(ftm.GetTypesOfGroup(gone), (std::vector<FTM::TypeID>{t}));
}

}  // namespace
