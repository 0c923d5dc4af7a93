// Link tables as CSV: what cannot be read is refused with its reason, and what the writer quotes
// reads back as it was. (Hand-made tables with the quoting of RFC 4180 are read in
// LinkByRulesTest, where each row's outcome is reported by its number.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Schedule/LinkTable.h"

namespace {

TEST(LinkTableTest, WhatCannotBeReadIsRefusedWithAReason) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "empty"},
        {"Element ID,Remark\r\nW-1,x\r\n", "no task column"},
        {"Task ID,Remark\r\n1,x\r\n", "no element column"},
        {"Element ID,Task ID\r\n\"W-1,1\r\n", "no CSV"},
        {"Element ID,Task ID\r\n\"W\"x,1\r\n", "no CSV"},
    };
    for (const auto& [text, says] : cases) {
        std::vector<LinkTable::Row> rows(1);
        std::string error;
        EXPECT_FALSE(LinkTable::Read(text, rows, error)) << text;
        EXPECT_NE(error.find(says), std::string::npos) << text << ": " << error;
        EXPECT_TRUE(rows.empty());
    }
}

TEST(LinkTableTest, TheWriterQuotesWhatMustBeAndReadsBackTheSame) {
    const std::vector<std::array<std::string, LinkTable::kColumnCount>> rows = {
        {"0123ABCD-0000-0000-0000-000000000001", "", "W-01", "Wall", "3", "plain"},
        {"0123ABCD-0000-0000-0000-000000000002", "g,1", "A \"B\"", "Wall", "4", "x\r\ny"},
        {"0123ABCD-0000-0000-0000-000000000003", " lead", "trail ", "Door", "5", ""},
    };
    const std::string text = LinkTable::Write(rows);
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "Element GUID,IFC GlobalId,Element ID,Element Type,Task ID,Task Name");
    EXPECT_NE(text.find(",\"A \"\"B\"\"\","), std::string::npos) << text;
    std::vector<LinkTable::Row> back;
    std::string error;
    ASSERT_TRUE(LinkTable::Read(text, back, error)) << error;
    ASSERT_EQ(back.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(back[i].fields, rows[i]) << i;

    API_Guid g{};
    ASSERT_TRUE(LinkTable::GuidFromText("{0123abcd-0000-0000-0000-0000000000ff}", g));
    EXPECT_EQ(LinkTable::GuidText(g), "0123ABCD-0000-0000-0000-0000000000FF");
    EXPECT_FALSE(LinkTable::GuidFromText("0123ABCD-0000-0000-0000-0000000000F", g));
    EXPECT_FALSE(LinkTable::GuidFromText("0123ABCD+0000-0000-0000-0000000000FF", g));
}

}  // namespace
